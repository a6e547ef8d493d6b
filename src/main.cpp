// Process entry: starts the program with its three handlers.
#include "shell/program.h"

int main() {
    tavik::run_program({});
}
