# Shared by the scripts that run Pellwick under Wine on a virtual display.
# Source it (bash); it only defines functions.

# The environment of every Wine run here: a 32-bit prefix at PREFIX (when
# given), no debug output, and no desktop menu entries written into the
# host's home for the shortcuts a run makes. PW_WINE_ARCH=win64 asks for a
# 64-bit prefix instead, the Windows 10 and 11 most people run, where a
# 32-bit program's HKLM\Software is redirected to Wow6432Node (the version
# matrix only).
pw_wine_env() {
    [ -n "${1:-}" ] && export WINEPREFIX=$1
    export WINEARCH=${PW_WINE_ARCH:-win32} WINEDEBUG=-all
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
    unset WINESERVER
}

# A stock prefix links the profile's Desktop, Documents and like folders to
# the Unix home: an uninstaller under test that removes too much would
# reach this machine's own files through them. Each becomes a plain folder.
pw_unlink_home() {
    local link
    find "$1/drive_c/users" -maxdepth 6 -type l 2>/dev/null | while read -r link; do
        rm -f "$link" && mkdir -p "$link"
    done
}

# Makes a prefix (32-bit, or as PW_WINE_ARCH says) at PREFIX unless a
# finished one is there already (PREFIX.done marks it), writing Wine's
# output to PREFIX.log. MANAGED is Wine's X11 "Managed" setting (default N:
# with no window manager to wait for, a hidden window goes at once).
pw_make_prefix() {
    local prefix=$1 managed=${2:-N} log=$1.log
    [ -f "$prefix/system.reg" ] && [ -f "$prefix.done" ] && return 0
    rm -rf "$prefix" "$prefix.done"
    mkdir -p "$prefix"
    (
        pw_wine_env "$prefix"
        timeout 120 wineboot -i >"$log" 2>&1 </dev/null &&
        # There is no window manager: Wine draws frames and captions itself.
        timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f \
            >>"$log" 2>&1 </dev/null &&
        timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f \
            >>"$log" 2>&1 </dev/null &&
        timeout 60 wineserver -k && timeout 60 wineserver -w
    ) || { echo "could not make the Wine prefix $prefix:" >&2; tail -n 20 "$log" >&2; return 1; }
    touch "$prefix.done"
}

# Starts Xvfb with a screen of SIZE (WxH) whose live image is DIR/Xvfb_screen0,
# on a free display; sets PW_XVFB_PID and PW_DISPLAY.
pw_start_xvfb() {
    local size=$1 dir=$2 i
    mkdir -p "$dir"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -fbdir "$dir" -nolisten tcp \
        3>"$dir/display" >"$dir/xvfb.log" 2>&1 </dev/null &
    PW_XVFB_PID=$!
    for i in $(seq 300); do
        [ -s "$dir/display" ] && [ -s "$dir/Xvfb_screen0" ] && break
        sleep 0.1
    done
    if [ ! -s "$dir/display" ] || [ ! -s "$dir/Xvfb_screen0" ]; then
        echo "Xvfb $size did not start:" >&2
        cat "$dir/xvfb.log" >&2
        return 1
    fi
    PW_DISPLAY=:$(head -n1 "$dir/display")
}

# A Linux path as the programs under Wine name it: on drive Z:.
pw_wine_path() {
    local path=$1
    echo "Z:${path//\//\\}"
}

# ImageMagick's convert; /usr/local/bin/convert on these machines is not it.
PW_CONVERT=/usr/bin/convert

# Whether Wine can run a 32-bit program on this machine. A kernel without
# 32-bit support (ia32 emulation switched off, as some virtual machines
# have it) refuses Wine's own loader with "Exec format error", and then no
# test under Wine can say anything about Pellwick: such a test stops with
# the status 77, which ctest counts as skipped, not passed.
PW_SKIP=77
pw_wine_runs() {
    PW_WINE_WHY=$(wine --version 2>&1 </dev/null) && return 0
    PW_WINE_WHY=${PW_WINE_WHY##*: }
    return 1
}
pw_require_wine() {
    pw_wine_runs && return 0
    echo "skipped: this machine cannot run 32-bit programs under Wine (${PW_WINE_WHY:-no wine})"
    exit $PW_SKIP
}
