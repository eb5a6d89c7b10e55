#!/usr/bin/env bash
# Simulated settings reset script of the embosser.
#   embosser-settings.sh -f FILE          puts the factory copy of FILE in place
#   embosser-settings.sh -a [-c] [-m MODEL]
#                                          resets every settings file of the model to its factory
#                                          copy, then takes the machine's own values that the
#                                          flash memory mirrors (serial number, hammer batch,
#                                          head positions) into them; -c also removes the working
#                                          layouts and user papers first; -m stores MODEL in the
#                                          flash memory before, otherwise the flash "Model" decides
# FILE is a bare name ("layout.3", "parameters", "arch") or a machine path
# ("/var/lib/embosser/parameters"). Factory copies live in
# $CONFIGURATION_MANAGER_ROOT/backup/embosser/factory: a model's own folder (the model name with
# "_" for blanks, e.g. factory/Corvane_Zentra/) first, then the common files of factory/.
# "arch" belongs in /var/lib/slave, every other file in /var/lib/embosser. After a reset the
# "Model" of /var/lib/embosser/embosserConf is the model. Exit status: 0 done, 1 nothing to copy
# or no model, 2 usage error.
source "$(dirname "${BASH_SOURCE[0]}")/_simlib.sh"
sim_begin "$@"

usage() {
    sim_die 2 "usage: embosser-settings.sh -f FILE | -a [-c] [-m MODEL]"
}

factory="$SIM_ROOT/backup/embosser/factory"

# working_path NAME: where a settings file of that name lives.
working_path() {
    if [ "$1" = arch ]; then
        printf '%s' "$SIM_ROOT/var/lib/slave/arch"
    else
        printf '%s' "$SIM_ROOT/var/lib/embosser/$1"
    fi
}

# factory_copy NAME MODEL: the factory file of that name for the model.
factory_copy() {
    local folder
    if [ -n "$2" ]; then
        folder=$(sim_model_folder "$2")
        [ -f "$factory/$folder/$1" ] && { printf '%s' "$factory/$folder/$1"; return 0; }
    fi
    [ -f "$factory/$1" ] && { printf '%s' "$factory/$1"; return 0; }
    return 1
}

install_file() {
    mkdir -p "$(dirname "$2")" && cp -f "$1" "$2"
}

file="" all=0 clean=0 model="" have_model=0
while getopts ":f:acm:" option; do
    case "$option" in
    f) file=$OPTARG ;;
    a) all=1 ;;
    c) clean=1 ;;
    m) model=$OPTARG; have_model=1 ;;
    :) sim_die 2 "option -$OPTARG needs a value" ;;
    *) sim_die 2 "unknown option -$OPTARG" ;;
    esac
done
shift $((OPTIND - 1))
[ $# -eq 0 ] || sim_die 2 "unexpected argument: $1"

if [ -n "$file" ]; then
    [ "$all$clean$have_model" = 000 ] || usage
    name=$(basename "$file")
    case "$file" in
    /*) target=$(sim_map "$file") ;;
    *) target=$(working_path "$name") ;;
    esac
    current_model=$(sim_model) || current_model=""
    source_file=$(factory_copy "$name" "$current_model") || sim_die 1 "no factory copy of $name"
    install_file "$source_file" "$target" || sim_die 1 "cannot write $(sim_unmap "$target")"
    echo "reset $(sim_unmap "$target") from $(sim_unmap "$source_file")"
    exit 0
fi

[ "$all" = 1 ] || usage
if [ "$have_model" = 1 ]; then
    [ -n "$model" ] || sim_die 2 "empty model name"
    sim_flash_set Model "$model"
else
    model=$(sim_flash_get Model) && [ -n "$model" ] || sim_die 1 "no model stored in the flash memory"
fi

# The factory set of the model: the common files, each replaced by the model's own copy.
declare -A set=()
for candidate in "$factory"/* "$factory/$(sim_model_folder "$model")"/*; do
    [ -f "$candidate" ] && set[$(basename "$candidate")]=$candidate
done
[ ${#set[@]} -gt 0 ] || sim_die 1 "no factory settings for model $model"

if [ "$clean" = 1 ]; then
    rm -f "$SIM_ROOT"/var/lib/embosser/layout.* "$SIM_ROOT"/var/lib/embosser/userpaper.*
fi
for name in $(printf '%s\n' "${!set[@]}" | LC_ALL=C sort); do
    install_file "${set[$name]}" "$(working_path "$name")" || sim_die 1 "cannot write $(sim_unmap "$(working_path "$name")")"
done

conf=$(working_path embosserConf)
tmp=$(mktemp "$conf.XXXXXX")
if [ -f "$conf" ]; then
    jq --indent 4 --arg model "$model" '.Model = $model' "$conf" >"$tmp"
else
    jq -n --indent 4 --arg model "$model" '{Model: $model}' >"$tmp"
fi || { rm -f "$tmp"; sim_die 1 "cannot update $(sim_unmap "$conf")"; }
mv -f "$tmp" "$conf"
sim_settings_from_flash
echo "settings reset for model $model (${#set[@]} files)"
