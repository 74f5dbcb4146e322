/* Exits with the code given as its argument: proves that the Wine wrapper
   hands a Windows program's exit code to CTest unchanged. */
#include <stdlib.h>

int main(int argc, char** argv) { return argc > 1 ? atoi(argv[1]) : 0; }
