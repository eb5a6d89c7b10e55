#!/usr/bin/env bash
# Simulated layout set installer of the embosser: applies a distributor's layout set.
#   embosser-layouts.sh -a -d SET [-L "N N ..."]   copies the set's layouts into /var/lib/embosser
#   embosser-layouts.sh -l                           lists the sets of the current model
# A set is a folder of layout.N files in /usr/share/embosser/layouts/<model folder>/ (the model
# name with "_" for blanks; the model is the flash "Model", else the configured one), or, when
# the model has no such folder, in /usr/share/embosser/layouts/. SET may also be a machine path.
# Without -L the set replaces every working layout; with -L only those layouts are copied.
# All paths are below $CONFIGURATION_MANAGER_ROOT. Exit status: 0 done, 1 no such set or layout,
# 2 usage error.
source "$(dirname "${BASH_SOURCE[0]}")/_simlib.sh"
sim_begin "$@"

usage() {
    sim_die 2 "usage: embosser-layouts.sh -a -d SET [-L \"N ...\"] | -l"
}

sets="$SIM_ROOT/usr/share/embosser/layouts"
working="$SIM_ROOT/var/lib/embosser"
model=$(sim_model) || model=""
model_sets="$sets/$(sim_model_folder "$model")"

apply=0 list=0 set="" selection="" have_selection=0
while getopts ":ad:lL:" option; do
    case "$option" in
    a) apply=1 ;;
    d) set=$OPTARG ;;
    l) list=1 ;;
    L) selection=$OPTARG; have_selection=1 ;;
    :) sim_die 2 "option -$OPTARG needs a value" ;;
    *) sim_die 2 "unknown option -$OPTARG" ;;
    esac
done
shift $((OPTIND - 1))
[ $# -eq 0 ] || sim_die 2 "unexpected argument: $1"

if [ "$list" = 1 ]; then
    [ "$apply" = 0 ] && [ -z "$set" ] || usage
    [ -n "$model" ] && [ -d "$model_sets" ] || exit 0
    find "$model_sets" -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | LC_ALL=C sort
    exit 0
fi

[ "$apply" = 1 ] && [ -n "$set" ] || usage
for number in $selection; do
    [[ "$number" =~ ^[1-9][0-9]?$ ]] || sim_die 2 "invalid layout number in -L: $number"
done
[ "$have_selection" = 0 ] || [ -n "${selection// /}" ] || sim_die 2 "-L without layout numbers"

case "$set" in
/*) from=$(sim_map "$set") ;;
*)
    from="$model_sets/$set"
    [ -n "$model" ] && [ -d "$from" ] || from="$sets/$set"
    ;;
esac
[ -d "$from" ] || sim_die 1 "no layout set $set"

names=()
if [ -n "$selection" ]; then
    for number in $selection; do
        [ -f "$from/layout.$number" ] || sim_die 1 "layout $number is not part of the set $set"
        names+=("layout.$number")
    done
else
    for path in "$from"/layout.*; do
        name=$(basename "$path")
        [ -f "$path" ] && [[ "${name#layout.}" =~ ^[1-9][0-9]?$ ]] && names+=("$name")
    done
    [ ${#names[@]} -gt 0 ] || sim_die 1 "the set $set holds no layouts"
    rm -f "$working"/layout.*
fi
mkdir -p "$working"
for name in "${names[@]}"; do
    cp -f "$from/$name" "$working/$name" || sim_die 1 "cannot copy $name"
done
echo "layout set $set applied (${#names[@]} layouts)"
