// ferrow: daily files from the six-channel instrument's raw records.
#include "converter/driver.h"
#include "profiles/ferrow.h"

int main(int argc, char** argv) {
  return run_conversion(argc - 1, argv + 1, FERROW_PROFILE);
}
