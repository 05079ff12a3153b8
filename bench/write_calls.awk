# Turns strace's output (-e trace=write,writev -e abbrev=none -s 0) into the call list of
# bench/replay_writes, one call a line: "w N" for a write of N bytes, "v N1 N2 ..." for a writev
# of buffers of N1, N2, ... bytes. Fails on a write to another descriptor than standard output,
# on a failed or partial write (the replay could not make the same calls), and when there is none.
#   awk -f write_calls.awk TRACE > CALLS

function bad(why) {
  print "strace line " NR ": " why ": " $0 > "/dev/stderr"
  failed = 1
  exit 1
}

/^(write|writev)\(/ {
  if ($0 !~ /^writev?\(1, /) bad("a write to a descriptor other than standard output")
  returned = $0
  if (!sub(/.*\) += /, "", returned) || returned !~ /^[0-9]+$/) bad("a failed write")
  if ($0 ~ /^write\(/) {
    asked = $0
    sub(/\) += .*/, "", asked)
    sub(/.*, /, "", asked)
    if (asked != returned) bad("a partial write")
    print "w " asked
    calls++
    next
  }
  call = "v"
  total = 0
  rest = $0
  while (match(rest, /iov_len=[0-9]+/)) {
    size = substr(rest, RSTART + 8, RLENGTH - 8)
    call = call " " size
    total += size
    rest = substr(rest, RSTART + RLENGTH)
  }
  if (call == "v") bad("a writev without buffers")
  if (total != returned) bad("a partial write")
  print call
  calls++
}

END {
  if (failed) exit 1
  if (!calls) {
    print "strace recorded no write call" > "/dev/stderr"
    exit 1
  }
}
