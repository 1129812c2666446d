#pragma once

namespace lib {

// The regional decimal separator used for every real number written to or read from the
// settings (a comma on Russian systems). One process-wide value: read from the system once at
// start-up, set explicitly by tests.
char decimalSeparator();
void setDecimalSeparator(char separator);

// The separator of the user's LC_NUMERIC locale, read without touching the process locale.
char systemDecimalSeparator();

} // namespace lib
