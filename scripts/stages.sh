# Times the stages of a bash script and prints each stage's time and the
# total when the script ends, whether it passed, failed or was stopped, so
# that a slow or failing stage shows at the end of a long log.
#
#   source scripts/stages.sh
#   stage "name" command [argument...]
#
# A stage's exit status is its command's, so `set -e` stops the script at a
# failed stage as it would at the bare command. Sourcing sets the EXIT trap.
stage_names=()
stage_seconds=()
stage_running=""
stage_failed=""
stages_start=$SECONDS

stage() {
  local name=$1 start=$SECONDS status=0
  shift
  stage_running=$name
  "$@" || status=$?
  stage_running=""
  stage_names+=("$name")
  stage_seconds+=("$((SECONDS - start))")
  ((status == 0)) || stage_failed=$name
  return "$status"
}

print_stage_times() {
  local status=$? i
  echo
  echo "Stage times of $(basename "$0"):"
  for i in "${!stage_names[@]}"; do
    printf '  %-40s %6d s\n' "${stage_names[$i]}" "${stage_seconds[$i]}"
  done
  [[ -n $stage_running ]] && printf '  %-40s %6s\n' "$stage_running" "stopped"
  printf '  %-40s %6d s\n' "total" "$((SECONDS - stages_start))"
  [[ -n $stage_failed ]] && echo "  failed: $stage_failed"
  return "$status"
}
trap print_stage_times EXIT
