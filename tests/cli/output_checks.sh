#!/bin/sh
# Failed and unusual outputs of tesral-cli: usage: output_checks.sh CASE CLI
# Each case runs in a fresh folder; exit 77 means the case cannot run here.
set -u
case_name=$1
cli=$2
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

fail() { echo "FAIL: $*" >&2; exit 1; }

# expect STATUS STDERR -- runs the rest and compares exit status and the whole of stderr.
expect() {
    want_status=$1 want_err=$2
    shift 2
    "$@" >out 2>err
    status=$?
    [ "$status" = "$want_status" ] || fail "exit status $status, expected $want_status: $(cat err)"
    [ "$(cat err)" = "$want_err" ] || fail "stderr '$(cat err)', expected '$want_err'"
}

# Only the named files are left in the folder (no temporary files).
only() {
    [ "$(ls -A | grep -v -x -e out -e err | sort | tr '\n' ' ')" = "$*" ] ||
        fail "folder holds: $(ls -A | tr '\n' ' ')"
}

# Starts a long report over keep.hkl in the background (its process in $pid) and returns once
# its temporary file is there.
start_long_write() {
    echo keep >keep.hkl
    "$cli" report --system octagonal --limits 8,8,8,8,8 --thmax 180 --qimax 1E9 \
        --output keep.hkl 2>err &
    pid=$!
    tries=0
    until ls -A | grep -q '^\.keep\.hkl\.'; do
        tries=$((tries + 1))
        [ $tries -lt 20000 ] && kill -0 $pid 2>/dev/null || fail "never saw the temporary file"
    done
}

limited() {  # limited BLOCKS command...: a file-size limit stands in for a full disk
    blocks=$1
    shift
    (trap '' XFSZ; ulimit -f "$blocks" && exec "$@")
}

case $case_name in
full_device)
    [ -c /dev/full ] || exit 77
    expect 1 "tesral-cli report: cannot write '/dev/full': No space left on device" \
        "$cli" report --output /dev/full
    [ -c /dev/full ] || fail "/dev/full replaced"
    "$cli" report >/dev/full 2>err
    [ $? = 1 ] || fail "report > /dev/full did not fail"
    [ "$(cat err)" = "tesral-cli report: cannot write to standard output: No space left on device" ] ||
        fail "stderr: $(cat err)"
    ;;
file_limit)
    for command in report list; do
        printf 'keep\r\n' >keep.hkl
        expect 1 "tesral-cli $command: cannot write 'keep.hkl': File too large" \
            limited 100 "$cli" $command --limits 6,6,6,6,6 --output keep.hkl
        [ "$(od -c keep.hkl)" = "$(printf 'keep\r\n' | od -c)" ] || fail "$command changed keep.hkl"
        only "keep.hkl "
    done
    ;;
picture_limit)
    # The first picture on a fresh machine writes fontconfig's cache, which the limit would
    # refuse with a line of its own.
    "$cli" plot2d --size 10x10 --output warm.png >/dev/null 2>&1
    rm -f warm.png
    for size in 300x300 2000x2000; do
        echo keep >keep.png
        expect 1 "tesral-cli plot2d: cannot write 'keep.png': File too large" \
            limited 5 "$cli" plot2d --size $size --output keep.png
        [ "$(cat keep.png)" = keep ] || fail "keep.png changed ($size)"
        only "keep.png "
    done
    ;;
not_regular)
    # A link to a named pipe and a link to a device are written through, never replaced.
    mkfifo pipe || exit 77
    ln -s pipe link.png
    # Held open (which never waits) until the picture is written, so the reader ends even
    # when the picture goes elsewhere.
    exec 3<>pipe
    cat pipe >got 3>&- &
    "$cli" plot2d --size 50x50 --output link.png 2>err
    status=$?
    exec 3>&-
    wait
    [ $status = 0 ] || fail "plot2d exited with $status: $(cat err)"
    [ -L link.png ] && [ -p pipe ] || fail "the pipe or its link was replaced"
    [ "$(head -c 4 got | tail -c 3)" = PNG ] || fail "the pipe's reader got no PNG"
    ln -s /dev/null null.hkl
    expect 0 "" "$cli" report --output null.hkl
    [ -L null.hkl ] && [ -c /dev/null ] || fail "the device link was replaced"
    # A link to a regular file replaces that file and stays a link.
    echo old >real.hkl
    ln -s real.hkl link.hkl
    expect 0 "" "$cli" report --output link.hkl
    [ -L link.hkl ] && [ "$(head -c 13 real.hkl)" = "TESRAL REPORT" ] || fail "link.hkl"
    ;;
interrupted)
    # Terminated while writing: the old report stays and no temporary file is left.
    start_long_write
    kill -TERM $pid
    wait $pid
    [ $? -gt 128 ] || fail "the write ended before the signal"
    [ "$(cat keep.hkl)" = keep ] || fail "keep.hkl changed"
    only "keep.hkl "
    ;;
descriptors)
    # Names of open descriptors write where the shell set them up: appending keeps the
    # lines before, and a pipe is written.
    { echo before; "$cli" groups --output /dev/stdout; echo after; } >>log.txt 2>err ||
        fail "groups --output /dev/stdout: $(cat err)"
    "$cli" groups >groups.txt
    [ "$(cat log.txt)" = "$(echo before; cat groups.txt; echo after)" ] || fail "log.txt: $(head -3 log.txt)"
    "$cli" groups --output /dev/fd/3 3>>log.txt 2>err || fail "/dev/fd/3: $(cat err)"
    [ "$(head -1 log.txt)" = before ] && [ "$(tail -1 log.txt)" = "$(tail -1 groups.txt)" ] ||
        fail "/dev/fd/3 replaced log.txt"
    [ "$("$cli" report --output /dev/stdout 2>err | head -c 13)" = "TESRAL REPORT" ] ||
        fail "pipe: $(cat err)"
    [ ! -s err ] || fail "a closed pipe gave a message: $(cat err)"
    ;;
config)
    # Other editors' files are read; a file nothing applies from says so; named pipes and
    # an output onto the configuration are refused.
    "$cli" report --system icosahedral --group-index 5 --limits 1,1,1,1,1,1 >expected.hkl
    printf '\357\273\277 3 \r 5 \rTrue\r' >bom.cfg
    expect 0 "" "$cli" report --config bom.cfg --limits 1,1,1,1,1,1
    cmp -s out expected.hkl || fail "bom.cfg not applied"
    printf 'decagonal\r\n' >none.cfg
    expect 0 "tesral-cli report: nothing in the configuration file 'none.cfg' could be applied; its first line is not a system number 0..3" \
        "$cli" report --config none.cfg
    mkfifo pipe.cfg || exit 77
    expect 1 "tesral-cli list: cannot read the configuration file 'pipe.cfg': not a regular file" \
        timeout 20 "$cli" list --config pipe.cfg
    cp bom.cfg keep.cfg
    expect 2 "tesral-cli report: --output './keep.cfg' is the configuration file; write to another file" \
        "$cli" report --config keep.cfg --output ./keep.cfg
    cmp -s bom.cfg keep.cfg || fail "keep.cfg changed"
    ;;
killed)
    # A write ended by SIGKILL leaves its temporary file; the next write to the folder
    # removes it.
    start_long_write
    kill -KILL $pid
    wait $pid
    ls -A | grep -q '^\.keep\.hkl\.' || fail "no temporary file left by the kill"
    expect 0 "" "$cli" groups --output groups.txt
    only "groups.txt keep.hkl "
    ;;
messages)
    long=$(printf '%0100000d' 0)
    "$cli" report --system "$long" 2>err
    [ $? = 2 ] || fail "long --system accepted"
    [ "$(cat err)" = "tesral-cli report: unknown system '$(printf '%060d' 0)…'" ] ||
        fail "stderr: $(head -c 300 err)"
    for option in a c limits thmin thmax qimax wavelength group; do
        expect 2 "tesral-cli report: --$option must not contain a line break or another control character" \
            "$cli" report "--$option" "1
X"
    done
    expect 2 "tesral-cli list: --limits must not contain a line break or another control character" \
        "$cli" list --limits "1,1,1,1,	1"
    expect 2 "tesral-cli matrices: --a must not contain a line break or another control character" \
        "$cli" matrices --a "2.8
"
    expect 1 "tesral-cli report: The lattice constants a and c must be non-zero numbers." \
        "$cli" report --a 0
    # A long path is cut in the middle, so the file name stays in view.
    d=dddddddddd e=eeeeeeeeee
    expect 1 "tesral-cli report: cannot write '$d$d…/$e$e$e/name.hkl': No such file or directory" \
        "$cli" report --output "$d$d$d/$e$e$e/name.hkl"
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
exit 0
