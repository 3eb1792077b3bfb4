#include "app/Driver.h"
#include "platform/Platform.h"

int main(int argc, char** argv) {
  Platform::InitLocale();
  return RunDriver(Platform::Arguments(argc, argv));
}
