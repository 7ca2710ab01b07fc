// The program's entry point.
#include <cstdlib>

#include "driver/driver.h"
#include "platform/platform.h"

int main(int argc, char** argv)
{
    prepare_arguments(argc, argv);
    const int code = run_program(argc, argv);
    end_as_requested();
    exit(code);
}
