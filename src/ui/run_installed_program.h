// Starting the installed program when setup ends, in place of the finish
// dialog, when the package asks for it.
#ifndef VANTOREL_UI_RUN_INSTALLED_PROGRAM_H
#define VANTOREL_UI_RUN_INSTALLED_PROGRAM_H

// Starts <DestinationDir>\<ProgramFileName> (InstallSettings) in
// DestinationDir. When it cannot be started, shows "Unable to run program."
// (IDS_RUN_PROGRAM) with the setup caption and returns false.
bool RunInstalledProgram();

#endif
