// VTUnInst.exe's run: reads the log named on the command line and the
// install record beside it, and removes what they name.
#ifndef VANTOREL_UNINSTALLER_UNINSTALLER_H
#define VANTOREL_UNINSTALLER_UNINSTALLER_H

// In this order, and nothing removed before the user confirmed:
//  1. the log's path from the command line, and the log, read strictly;
//  2. the application's Uninstall entry, which must name that log, and the
//     digests it keeps: the log and the record beside it must be as setup
//     wrote them (a log without digests, from another setup program, has
//     no record);
//  3. the log's folder, refused when it is not the application's own;
//  4. the user's confirmation, and (when the log asks for it) the
//     application's program closed;
//  5. the shortcuts; the shared files' usage counts, each file whose count
//     reaches 0 removed when the user agrees; the recorded files and
//     folders (without a record, nothing: the folder, the shortcuts and the
//     counts stay); the Uninstall entry, unless an earlier install stays
//     (uninstaller/kept_chain.h);
//  6. a closing message: removed, or what was left and why.
// Returns the exit code (base/deployment_interface.h): kExitDone when
// everything was removed, kExitFailed otherwise (also when the user
// stopped, or the log could not be used). Silent ("/S", see uninstaller/command_line.h), what
// waits only for the next start of Windows gives kExitRestartNeeded
// instead, and no box is shown; "/LOG=" writes the run's log
// (base/run_log.h).
int RunUninstaller();

#endif
