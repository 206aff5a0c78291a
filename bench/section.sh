# replace_section PREFIX FILE (sourced by the benchmark scripts): takes the
# section of bench/RESULTS.md whose heading starts with PREFIX out, wherever
# it stands, and appends FILE, the same section from this run.
replace_section() {
  awk -v heading="$1" 'index($0, heading) == 1 { skip = 1; next }
    skip && /^## / { skip = 0 } !skip' bench/RESULTS.md > bench/RESULTS.md.new
  cat "$2" >> bench/RESULTS.md.new
  mv bench/RESULTS.md.new bench/RESULTS.md
}
