// Linked into every test program: the program's data folder (where backups go) is a folder of the
// build, however the test is started (by ctest, by hand or under a debugger), so that no test ever
// writes into the data folder of the person running it. Under wine the Windows data folder is the
// wine prefix's, which lies in the build folder already.

#include "support/platform.h"

namespace {

#ifndef _WIN32
const bool kDataHomeSet = [] {
    tarvo::test::setDataHome(TARVO_TEST_DATA_HOME);
    return true;
}();
#endif

}  // namespace
