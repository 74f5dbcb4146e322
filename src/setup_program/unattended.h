// The help of "/?" for deployment tools (base/deployment_interface.h has
// the switches and exit codes). The run of "/S", "/PASSIVE" and "/LOG="
// begins and ends as the uninstaller's (base/run_log.h).
#ifndef VANTOREL_SETUP_PROGRAM_UNATTENDED_H
#define VANTOREL_SETUP_PROGRAM_UNATTENDED_H

// The box of the switches and exit codes: for "/?", or as an error for the
// argument `wrong`, which the run log names. Captioned with the product's
// name: the package has not been read.
void ShowUsage(const char* wrong);

#endif
