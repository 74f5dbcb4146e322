/* Linked against zlib's import library: imports zlib1.dll, which Wine ships
   and Windows does not. The executable check must reject it. */
#include <zlib.h>

int main(void) { return zlibVersion()[0] == '1' ? 0 : 1; }
