# Sourced by the test scripts that need an X display of their own. start_xvfb FOLDER SIZE
# [Xvfb options] starts an Xvfb that picks a free display itself and writes its number once
# it listens (-displayfd), so that two scripts started together cannot race for one, waits
# until it answers, and sets xvfb (its process) and display (":N"). It fails, rather than
# waits, when the server does not come up; the server's messages are in FOLDER/xvfb.log.
start_xvfb() {
    xvfb_folder=$1
    xvfb_size=$2
    shift 2
    Xvfb -displayfd 3 -screen 0 "$xvfb_size" -nolisten tcp "$@" 3>"$xvfb_folder/display" \
        >"$xvfb_folder/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 300); do
        if [ -s "$xvfb_folder/display" ] && DISPLAY=":$(cat "$xvfb_folder/display")" xdpyinfo >/dev/null 2>&1; then
            display=":$(cat "$xvfb_folder/display")"
            return 0
        fi
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.1
    done
    echo "FAIL Xvfb did not answer"
    cat "$xvfb_folder/xvfb.log"
    return 1
}
