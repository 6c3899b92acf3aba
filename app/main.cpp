#include "app/start_up.h"

int main(int argc, char** argv)
{
    return yejian::app::run_program(argc, argv);
}
