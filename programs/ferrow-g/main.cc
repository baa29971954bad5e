// ferrow-g: daily files from the nine-channel instrument's raw records.
#include "converter/driver.h"
#include "profiles/ferrow_g.h"

int main(int argc, char** argv) {
  return run_conversion(argc - 1, argv + 1, FERROW_G_PROFILE);
}
