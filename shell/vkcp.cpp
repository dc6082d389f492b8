// vkcp: the VK Control Panel. vkcp [FILE.gam] starts with FILE loaded.

#include "startup.h"

int main(int argc, char *argv[])
{
    return runProgram(argc, argv);
}
