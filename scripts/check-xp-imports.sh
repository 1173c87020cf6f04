#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails unless a mingw-built Windows executable would load on Windows XP SP3.
# XP's loader refuses an image that imports a function XP lacks or whose
# subsystem version is above its own, and Wine loads both, so only a look at
# the file catches them before a user does.
#   scripts/check-xp-imports.sh build-windows/i686/bin/quarn-network-information.exe
# Exit 0: clean; 1: offending imports or header, each printed; 2: could not check.
set -euo pipefail

# System DLLs that XP SP3 has, whose functions the SDK headers mark by version.
allowed_dlls=(kernel32 user32 gdi32 advapi32 ole32 oleaut32 ws2_32 wininet shell32 comctl32 msvcrt)

# The headers have no version marks for msvcrt.dll. XP's is the VC 7.0
# runtime; these came with VC 8 and are in Vista's and later msvcrt.dll only.
# Drawn from what Wine 8.0's msvcrt.dll exports and its msvcr70.dll does not,
# and from VC 8's additions; not compared with a real XP msvcrt.dll. Names
# that end in _s (the checked variants) or _l (the locale variants) are
# refused by pattern: msvcr70 has none.
msvcrt_after_xp=(
  _get_errno _set_errno _get_doserrno _set_doserrno _get_fmode _set_fmode
  _get_osplatform _get_osver _get_winmajor _get_winminor _get_winver
  _get_pgmptr _get_wpgmptr _get_environ _get_wenviron _get_heap_handle
  _get_tzname _get_daylight _get_dstbias _get_timezone __daylight __dstbias
  _get_terminate _get_unexpected _get_output_format _set_output_format
  _set_controlfp _set_abort_behavior _set_printf_count_output _get_printf_count_output
  _set_invalid_parameter_handler _get_invalid_parameter_handler
  _invalid_parameter _invalid_parameter_noinfo _invalid_parameter_noinfo_noreturn
  _set_purecall_handler _get_purecall_handler __get_app_type _initterm_e
  _configthreadlocale _create_locale _free_locale _get_current_locale
  _time32 _ctime32 _wctime32 _gmtime32 _localtime32 _mktime32 _mkgmtime32 _mkgmtime64
  _difftime32 _difftime64 _ftime32 _futime32 _utime32 _wutime32
  _findfirst32 _findnext32 _findfirst64i32 _findnext64i32
  _wfindfirst32 _wfindnext32 _wfindfirst64i32 _wfindnext64i32
  _fseeki64 _ftelli64 _lock_file _unlock_file _abs64
  _printf_p _fprintf_p _sprintf_p _vprintf_p _vfprintf_p _vsprintf_p
  _wprintf_p _fwprintf_p _swprintf_p _vwprintf_p _vfwprintf_p _vswprintf_p
  _snprintf_c _vsnprintf_c _swprintf_c _vswprintf_c _swprintf _vswprintf
  _vcprintf _vcwprintf vsnprintf strnlen wcsnlen _mbsnlen
  btowc wctob mbrlen mbrtowc mbsrtowcs wcrtomb wcsrtombs
)

# Every header that declares a function of the allowed DLLs; <wininet.h> and
# <winhttp.h> clash, so each goes only into its own DLL's file.
common_headers=(winsock2.h ws2tcpip.h windows.h ole2.h oleauto.h shellapi.h shlobj.h
                commctrl.h tlhelp32.h ntsecapi.h sddl.h aclapi.h)
declare -A own_headers=([wininet]=wininet.h [winhttp]=winhttp.h)
version_defines=(-D_WIN32_WINNT=0x0501 -DWINVER=0x0501 -DNTDDI_VERSION=0x05010300)

exe=${1:?usage: $0 <exe>}
[[ -f $exe ]] || { echo "$exe: no such file" >&2; exit 2; }

# The PE header's machine field names the toolchain; each objdump reads its
# own architecture only.
pe_offset=$(od -An -t u4 -j 60 -N 4 "$exe" | tr -d ' ')
machine=$(od -An -t x2 -j $((pe_offset + 4)) -N 2 "$exe" | tr -d ' ')
case $machine in
  014c) triplet=i686-w64-mingw32; max_subsystem=501 ;;
  8664) triplet=x86_64-w64-mingw32; max_subsystem=502 ;;  # XP x64 is 5.2
  *) echo "$exe: not an x86 or x86-64 Windows executable (machine $machine)" >&2; exit 2 ;;
esac
cc=
for c in "$triplet-gcc-win32" "$triplet-gcc-posix" "$triplet-gcc"; do
  if command -v "$c" >/dev/null; then cc=$c; break; fi
done
[[ -n $cc ]] || { echo "no $triplet C compiler (apt-get install gcc-mingw-w64)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$triplet-objdump" -p "$exe" > "$work/headers"

offences=0
offend() { echo "  $1" >&2; offences=$((offences + 1)); }

read -r major minor < <(awk '/^MajorSubsystemVersion/{a=$2} /^MinorSubsystemVersion/{b=$2} END{print a, b}' "$work/headers")
if ((major * 100 + minor > max_subsystem)); then
  offend "subsystem version $major.$minor: XP's loader takes at most $((max_subsystem / 100)).0$((max_subsystem % 100))"
fi

# DLL name and function per line, from the import tables; objdump writes
# <none> for a function imported by ordinal.
awk '/DLL Name:/ { dll = $3; next }
     /^$/ { dll = "" }
     dll != "" && /^\t[0-9a-f]+\t +[0-9]+ / { print dll, $3 }' \
  "$work/headers" > "$work/imports"
[[ -s $work/imports ]] || { echo "$exe: no import table found" >&2; exit 2; }

declare -A is_allowed
for d in "${allowed_dlls[@]}"; do is_allowed[$d]=1; done
declare -A is_after_xp
for f in "${msvcrt_after_xp[@]}"; do is_after_xp[$f]=1; done

# One C file per DLL that takes every function's address, one per line, so
# a compiler error's line names the function; what fails is dropped and the
# rest compiled again until the file is clean.
check_declared() {
  local dll=$1 names=$2 src=$work/$1.c
  local headers=("${common_headers[@]}") h
  [[ -n ${own_headers[$dll]:-} ]] && headers+=("${own_headers[$dll]}")
  while :; do
    { for h in "${headers[@]}"; do echo "#include <$h>"; done
      awk '{ printf "void *qni_%d = (void *)&%s;\n", NR, $0 }' "$names"; } > "$src"
    local first_line=$((${#headers[@]} + 1))
    "$cc" "${version_defines[@]}" -fsyntax-only -w -fmax-errors=0 "$src" 2> "$work/$dll.err" && return 0
    grep -o "^$src:[0-9]*:[0-9]*: error" "$work/$dll.err" | cut -d: -f2 | sort -un > "$work/$dll.lines" || true
    if [[ ! -s $work/$dll.lines ]] || (( $(head -n1 "$work/$dll.lines") < first_line )); then
      echo "the SDK headers do not compile for $dll:" >&2; head -n 20 "$work/$dll.err" >&2
      return 2
    fi
    awk -v f="$first_line" 'NR == FNR { bad[$1 - f + 1] = 1; next } FNR in bad' \
      "$work/$dll.lines" "$names" >> "$work/$dll.undeclared"
    awk -v f="$first_line" 'NR == FNR { bad[$1 - f + 1] = 1; next } !(FNR in bad)' \
      "$work/$dll.lines" "$names" > "$names.next"
    if cmp -s "$names" "$names.next"; then
      echo "cannot tell which of $dll's functions fail:" >&2; head -n 20 "$work/$dll.err" >&2
      return 2
    fi
    mv "$names.next" "$names"
    [[ -s $names ]] || return 0
  done
}

pids=()
dlls=()
while read -r dll; do
  key=${dll,,}; key=${key%.dll}
  if [[ -z ${is_allowed[$key]:-} ]]; then
    offend "$dll: not among the DLLs allowed ($(awk -v d="$dll" '$1 == d { n++ } END { print n }' "$work/imports") imports)"
    continue
  fi
  : > "$work/$key.names"
  while read -r f; do
    if [[ $f == '<none>' ]]; then
      offend "$dll: a function imported by ordinal, which cannot be checked"
    elif [[ $key == msvcrt ]]; then
      if [[ -n ${is_after_xp[$f]:-} || $f == *_s || $f == *_l ]]; then
        offend "$dll!$f: not in XP's msvcrt.dll"
      fi
    else
      echo "$f" >> "$work/$key.names"
    fi
  done < <(awk -v d="$dll" '$1 == d { print $2 }' "$work/imports")
  if [[ -s $work/$key.names ]]; then
    check_declared "$key" "$work/$key.names" &
    pids+=($!); dlls+=("$dll")
  fi
done < <(awk '!seen[$1]++ { print $1 }' "$work/imports")

for i in "${!pids[@]}"; do
  wait "${pids[$i]}" || exit 2
  key=${dlls[$i],,}; key=${key%.dll}
  [[ -f $work/$key.undeclared ]] || continue
  while read -r f; do
    offend "${dlls[$i]}!$f: not declared for Windows XP (_WIN32_WINNT=0x0501)"
    if [[ $f == GetTickCount64 ]]; then
      echo "    (winpthreads, which the posix threading model links in, imports it)" >&2
    fi
  done < "$work/$key.undeclared"
done

count=$(wc -l < "$work/imports")
if ((offences)); then
  echo "$exe: $offences of its imports or header fields keep it from loading on Windows XP" >&2
  exit 1
fi
echo "$exe: all $count imports and the subsystem version $major.$minor load on Windows XP"
