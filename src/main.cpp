// Process entry: starts the program with its handlers.
#include "features/account_draw.h"
#include "features/friendly_link.h"
#include "features/version_gate.h"
#include "shell/program.h"

int main() {
    tavik::run_program({
        .version_gate = &tavik::version_gate,
        .account_draw = &tavik::account_draw,
        .friendly_link = &tavik::friendly_link,
    });
}
