#!/bin/sh
# Usage: check_cpu_models.sh BUILD_DIR
# Runs BUILD_DIR's unit tests and the filters' round trip under qemu-x86_64 as a processor
# without AVX2 (Nehalem) and as one without AVX-512 (Haswell), so that the kernel set picked at
# start-up is one the processor has. qemu itself runs any instruction it knows whatever the
# model, so a kernel set the model lacks is caught by the program's own word: where --version
# names the set in use, it must be one the model has.
build=$(cd "$1" && pwd) || exit 1
here=$(dirname "$0")
failed=0

# Haswell less the system features qemu's emulator leaves out, which it would warn about.
for model in Nehalem:portable Haswell,-pcid,-x2apic,-tsc-deadline,-hle,-invpcid,-rtm:avx2; do
  cpu=${model%:*} best=${model##*:}
  qemu="qemu-x86_64 -cpu $cpu"
  echo "== under $qemu"
  $qemu "$build/tests/unit_tests" --gtest_brief=1 || failed=1
  sh "$here/check_filter_round_trip.sh" "$build/ciphers" $qemu || failed=1
  in_use=$($qemu "$build/ciphers" --version | sed -n 's/^kernels: \([a-z0-9]*\).*/\1/p')
  if [ -n "$in_use" ] && [ "$in_use" != "$best" ]; then
    echo "the kernel set in use is $in_use, where the best this processor has is $best"
    failed=1
  fi
done
exit $failed
