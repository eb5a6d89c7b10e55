#!/usr/bin/env bash
# Simulated backup script of the embosser: copies layouts or the whole configuration between the
# working files and the backup places.
#   embosser-backup.sh -b -s WHAT -d PLACE [-L "N N ..."]    back up
#   embosser-backup.sh -r -s PLACE -d WHAT [-L "N N ..."]    restore
# WHAT: "layouts" (the files layout.N of /var/lib/embosser) or "config" (every file directly in
# /var/lib/embosser, layouts and user papers included, and /var/lib/slave/arch).
# PLACE:
#   internal:layouts  /backup/embosser/layouts/<stamp>/
#   usb:layouts       /media/sda1/backup/embosser/layouts/<model folder>/<stamp>/
#   internal:config   /backup/embosser/config/<stamp>/
#   usb:config        /media/sda1/backup/embosser/config/<stamp>/
#   system:layouts, system:config   the factory set (restore only): /backup/embosser/factory, each
#                     file replaced by the model's own copy in factory/<model folder>/ if any
#   /a/path           a machine directory; a relative path is taken below
#                     /usr/share/embosser/layouts (the distributors' layout sets)
# A backup makes a new folder <stamp> (local date and time "yyyy-MM-dd_hh-mm-ss" of the simulated
# clock). A restore place may name a backup folder ("internal:layouts/<stamp>", or the place's
# directory path); without one the newest folder of the place is used. The USB stick is mounted
# when /media/sda1 exists. -L limits a layouts copy to those layout numbers; without it a
# restore replaces the whole working set (working layouts absent from the source are removed).
# All paths are below $CONFIGURATION_MANAGER_ROOT. Exit status: 0 done, 1 nothing to copy or a
# place that does not exist, 2 usage error.
source "$(dirname "${BASH_SOURCE[0]}")/_simlib.sh"
sim_begin "$@"

usage() {
    sim_die 2 "usage: embosser-backup.sh -b -s layouts|config -d PLACE [-L \"N ...\"] | -r -s PLACE -d layouts|config [-L \"N ...\"]"
}

working="$SIM_ROOT/var/lib/embosser"
arch="$SIM_ROOT/var/lib/slave/arch"
usb="$SIM_ROOT/media/sda1"
model=$(sim_model) || model=""
folder=$(sim_model_folder "$model")

# is_layout NAME: a layout file name, "layout." followed by a number 1..99.
is_layout() {
    case "$1" in
    layout.*) ;;
    *) return 1 ;;
    esac
    local number=${1#layout.}
    [[ "$number" =~ ^[1-9][0-9]?$ ]]
}

# members DIR WHAT: the file names of DIR that belong to WHAT, one a line.
members() {
    local path name
    for path in "$1"/*; do
        [ -f "$path" ] || continue
        name=${path##*/}
        if [ "$2" = config ] || is_layout "$name"; then
            printf '%s\n' "$name"
        fi
    done
}

require_usb() {
    [ -d "$usb" ] || sim_die 1 "no USB stick mounted at /media/sda1"
}

# resolve_place PLACE: sets place_dir to the directory of a place, place_kind to what it holds
# (layouts, config, or empty for a plain directory) and place_is_path when it was given as a path.
resolve_place() {
    local place=$1 sub=""
    place_kind="" place_is_path=0
    case "$place" in
    internal:layouts | internal:layouts/*) place_kind=layouts; place_dir="$SIM_ROOT/backup/embosser/layouts"; sub=${place#internal:layouts} ;;
    usb:layouts | usb:layouts/*) require_usb; place_kind=layouts; place_dir="$usb/backup/embosser/layouts/$folder"; sub=${place#usb:layouts} ;;
    internal:config | internal:config/*) place_kind=config; place_dir="$SIM_ROOT/backup/embosser/config"; sub=${place#internal:config} ;;
    usb:config | usb:config/*) require_usb; place_kind=config; place_dir="$usb/backup/embosser/config"; sub=${place#usb:config} ;;
    system:layouts | system:config) place_kind=${place#system:}; place_dir="$SIM_ROOT/backup/embosser/factory" ;;
    *:*) sim_die 2 "unknown place: $place" ;;
    /*) place_is_path=1; place_dir=$(sim_map "$place") ;;
    *) place_is_path=1; place_dir="$SIM_ROOT/usr/share/embosser/layouts/$place" ;;
    esac
    place_dir+=$sub
}

# source_dir DIR WHAT: DIR when it holds files of WHAT, else its newest sub-folder that does.
source_dir() {
    [ -d "$1" ] || sim_die 1 "$(sim_unmap "$1") does not exist"
    if [ -n "$(members "$1" "$2")" ]; then
        printf '%s' "$1"
        return 0
    fi
    local candidate
    for candidate in $(find "$1" -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | LC_ALL=C sort -r); do
        if [ -n "$(members "$1/$candidate" "$2")" ]; then
            printf '%s' "$1/$candidate"
            return 0
        fi
    done
    sim_die 1 "no $2 to restore in $(sim_unmap "$1")"
}

# new_folder BASE: a fresh backup folder below BASE, named after the simulated local time.
new_folder() {
    local stamp path n=1
    sim_export_tz
    stamp=$(date -d "@$(sim_now)" +%Y-%m-%d_%H-%M-%S)
    path="$1/$stamp"
    while [ -e "$path" ]; do
        n=$((n + 1))
        path="$1/${stamp}_$n"
    done
    mkdir -p "$path" || sim_die 1 "cannot create $(sim_unmap "$path")"
    printf '%s' "$path"
}

# selected WHAT SOURCE_DIR: the names to copy: the -L layouts, or every member.
selected() {
    local number
    if [ -n "$selection" ]; then
        for number in $selection; do
            [ -f "$2/layout.$number" ] || sim_die 1 "layout $number does not exist in $(sim_unmap "$2")"
            printf 'layout.%s\n' "$number"
        done
    else
        members "$2" "$1"
    fi
}

# The factory set: common files, each replaced by the model's own copy; staged in a temporary
# folder so that it reads like any other place. One copy for all files: every program started
# counts when the service waits for a restore.
stage_factory() {
    local stage path
    local -A copies=()
    for path in "$1"/* "$1/$folder"/*; do
        [ -f "$path" ] && copies[${path##*/}]=$path
    done
    mkdir -p "$SIM_STATE"
    stage=$(mktemp -d "$SIM_STATE/factory.XXXXXX")
    [ ${#copies[@]} -eq 0 ] || cp -f "${copies[@]}" "$stage/" || sim_die 1 "cannot read the factory set"
    printf '%s' "$stage"
}

backup=0 restore=0 src="" dst="" selection="" have_selection=0
while getopts ":brs:d:L:" option; do
    case "$option" in
    b) backup=1 ;;
    r) restore=1 ;;
    s) src=$OPTARG ;;
    d) dst=$OPTARG ;;
    L) selection=$OPTARG; have_selection=1 ;;
    :) sim_die 2 "option -$OPTARG needs a value" ;;
    *) sim_die 2 "unknown option -$OPTARG" ;;
    esac
done
shift $((OPTIND - 1))
[ $# -eq 0 ] || sim_die 2 "unexpected argument: $1"
[ "$backup$restore" = 10 ] || [ "$backup$restore" = 01 ] || usage
[ -n "$src" ] && [ -n "$dst" ] || usage
for number in $selection; do
    [[ "$number" =~ ^[1-9][0-9]?$ ]] || sim_die 2 "invalid layout number in -L: $number"
done
[ "$have_selection" = 0 ] || [ -n "${selection// /}" ] || sim_die 2 "-L without layout numbers"

if [ "$backup" = 1 ]; then
    what=$src
    [ "$what" = layouts ] || [ "$what" = config ] || sim_die 2 "cannot back up \"$what\": layouts or config"
    case "$dst" in system:*) sim_die 2 "the factory set cannot be written" ;; esac
    resolve_place "$dst"
    [ -z "$place_kind" ] || [ "$place_kind" = "$what" ] || sim_die 2 "$dst is no place for $what"
    [ "$what" = layouts ] || [ -z "$selection" ] || sim_die 2 "-L applies to layouts only"
    names=$(selected "$what" "$working") || exit $?
    [ -n "$names" ] || sim_die 1 "no $what to back up"
    if [ "$place_is_path" = 1 ]; then
        target=$place_dir
        mkdir -p "$target" || sim_die 1 "cannot create $(sim_unmap "$target")"
    else
        target=$(new_folder "$place_dir") || exit $?
    fi
    sources=()
    while IFS= read -r name; do
        sources+=("$working/$name")
    done <<<"$names"
    cp -p "${sources[@]}" "$target/" || sim_die 1 "cannot copy the $what"
    if [ "$what" = config ] && [ -f "$arch" ]; then
        cp -p "$arch" "$target/arch" || sim_die 1 "cannot copy arch"
    fi
    echo "$what backed up to $(sim_unmap "$target")"
    exit 0
fi

what=$dst
[ "$what" = layouts ] || [ "$what" = config ] || sim_die 2 "cannot restore \"$what\": layouts or config"
[ "$what" = layouts ] || [ -z "$selection" ] || sim_die 2 "-L applies to layouts only"
resolve_place "$src"
[ -z "$place_kind" ] || [ "$place_kind" = "$what" ] || sim_die 2 "$src holds no $what"
stage=""
case "$src" in
system:*) stage=$(stage_factory "$place_dir"); from=$stage ;;
*) from=$(source_dir "$place_dir" "$what") || exit $? ;;
esac
trap '[ -n "$stage" ] && rm -rf "$stage"' EXIT
names=$(selected "$what" "$from") || exit $?
[ -n "$names" ] || sim_die 1 "no $what to restore in $(sim_unmap "$place_dir")"

mkdir -p "$working"
if [ -z "$selection" ]; then
    rm -f "$working"/layout.*
    [ "$what" = config ] && rm -f "$working"/userpaper.*
fi
sources=()
while IFS= read -r name; do
    if [ "$name" = arch ] && [ "$what" = config ]; then
        mkdir -p "${arch%/*}" && cp -f "$from/arch" "$arch" || sim_die 1 "cannot restore arch"
    else
        sources+=("$from/$name")
    fi
done <<<"$names"
[ ${#sources[@]} -eq 0 ] || cp -f "${sources[@]}" "$working/" || sim_die 1 "cannot restore the $what"
if [ -n "$stage" ]; then
    echo "$what restored from the factory set"
else
    echo "$what restored from $(sim_unmap "$from")"
fi
