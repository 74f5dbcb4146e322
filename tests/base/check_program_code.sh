#!/bin/sh
# The product's foundation links nothing of the C++ runtime (operator new or
# delete, exceptions, type info, the standard library), and a program built
# on it imports only Windows system DLLs.
#   check_program_code.sh NM OBJDUMP libbase.a program.exe
set -u
nm=$1 objdump=$2 library=$3 program=$4
status=0

runtime=$("$nm" -u "$library" | grep -E '_Znw|_Znaw|_Zdl|_Zdaw|_ZTI|_ZTS|__cxa_|_Unwind_|__gxx_personality|_ZNSt|_ZSt' | sort -u)
if [ -n "$runtime" ]; then
  echo "libbase.a needs the C++ runtime:"; echo "$runtime"; status=1
fi

imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$imports" ] || { echo "no import table in $program"; status=1; }
for dll in $imports; do
  case $(echo "$dll" | tr 'A-Z' 'a-z') in
    kernel32.dll|user32.dll|msvcrt.dll|advapi32.dll) ;;
    *) echo "$program imports $dll"; status=1 ;;
  esac
done
[ $status -eq 0 ] && echo "base: no C++ runtime; imports: $(echo $imports)"
exit $status
