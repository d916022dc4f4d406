#!/bin/bash
# Fails when the executable imports a function that Windows XP SP3's system libraries do not
# export: such an executable would not even load there. Functions newer than XP must be looked
# up by name at run time instead.
set -euo pipefail
exe="$1"
imports=$(i686-w64-mingw32-objdump -p "$exe" | awk '
  /DLL Name:/ {dll=tolower($3)}
  /^\t[0-9a-f]+[ \t]+[0-9]+ +[A-Za-z_]/ {print dll ":" $3}')
[ -n "$imports" ] || { echo "no imports read from $exe"; exit 1; }

# Libraries that exist on XP SP3.
allowed_dlls="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll
comctl32.dll msvcrt.dll msimg32.dll uxtheme.dll comdlg32.dll shlwapi.dll version.dll"
# Functions that arrived after XP (Vista and later) in those libraries.
newer_than_xp='^(GetTickCount64|InitializeSRWLock|AcquireSRWLock.*|ReleaseSRWLock.*|TryAcquireSRWLock.*|
InitializeConditionVariable|SleepConditionVariable.*|WakeConditionVariable|WakeAllConditionVariable|
InitOnce.*|Fls(Alloc|Free|GetValue|SetValue)|GetLocaleInfoEx|LCMapStringEx|CompareStringEx|
GetDateFormatEx|GetTimeFormatEx|GetUserDefaultLocaleName|LocaleNameToLCID|LCIDToLocaleName|
CreateSymbolicLink.*|GetFinalPathNameByHandle.*|InitializeCriticalSectionEx|CreateEventEx[AW]|
CreateMutexEx[AW]|CreateSemaphoreEx[AW]|GetFileInformationByHandleEx|SetFileInformationByHandle|
QueryFullProcessImageName[AW]|GetErrorMode|TaskDialog|TaskDialogIndirect|Dwm.*|
SetProcessDPIAware|ChangeWindowMessageFilter.*|RegGetValue[AW]|RegDeleteTree[AW]|
GetThreadId|GetProcessIdOfThread|CancelIoEx|CancelSynchronousIo|GetQueuedCompletionStatusEx|
_create_locale|_free_locale|__lc_codepage_func|.*_s$|_wfopen_s|strtok_s|_vsnprintf_s)$'
pattern=$(echo "$newer_than_xp" | tr -d '\n')
status=0
while IFS=: read -r dll fn; do
  if ! grep -qw "$dll" <<<"$allowed_dlls"; then
    echo "imports from $dll, which Windows XP does not have ($fn)"; status=1
  elif grep -Eq "$pattern" <<<"$fn"; then
    echo "imports $dll!$fn, which Windows XP does not export"; status=1
  fi
done <<<"$imports"
count=$(wc -l <<<"$imports")
[ $status -eq 0 ] && echo "$count imported functions, all exported by Windows XP SP3"
exit $status
