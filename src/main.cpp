// Process entry: starts the program with its handlers.
#include "features/account_draw.h"
#include "features/friendly_link.h"
#include "shell/program.h"

int main() {
    tavik::run_program({
        .account_draw = &tavik::account_draw,
        .friendly_link = &tavik::friendly_link,
    });
}
