// The account draw: what a click on the draw button does.
#pragma once

namespace tavik {

// Seeds the generator, splits the account list of the main window at line breaks and, once per
// member, draws a member number from 1 to 381 and writes that member into the account field. The
// member count is taken once; a list shorter than 381 names ends in the fatal error report (code 1)
// at the first number beyond it, after the passes before it have written their names.
void account_draw();

} // namespace tavik
