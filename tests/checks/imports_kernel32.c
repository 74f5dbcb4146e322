/* Imports only KERNEL32.dll and the C runtime: passes even the strict check. */
int main(void) { return 0; }
