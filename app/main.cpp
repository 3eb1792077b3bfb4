#include "app/Driver.h"
#include "platform/Platform.h"

int main(int argc, char** argv) {
  Platform::InitLocale();
  Platform::InitConsole();
  return RunDriver(Platform::Arguments(argc, argv));
}
