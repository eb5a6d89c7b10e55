# Shared by the simulated embosser tools in this directory. Source it, then call
# `sim_begin "$@"` first thing: it checks the root, records the call and applies an injected
# failure. It is not a tool itself and records nothing when sourced.
#
# Every simulated tool works on the file tree below $CONFIGURATION_MANAGER_ROOT and never on the
# machine's own files: a root that is unset, empty or "/" makes the tool refuse to run (exit 125).
#
# Call log: $ROOT/var/log/sim/calls.log, one line per call: the tool's base name, then each
# argument, separated by TAB; backslash, TAB and newline inside an argument are written as \\, \t
# and \n.
#
# Injected failure: when $ROOT/var/lib/sim/fail/<tool> exists, the tool records the call, prints
# "<tool>: simulated failure" on stderr and exits with the number in that file (1 when the file
# is empty), doing nothing else.

SIM_NAME=${0##*/}
SIM_BIN_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd -P)
SIM_ORIG_PATH=$PATH

# EEPROM fields in their order in the flash memory, and the configuration key each mirrors.
SIM_EEPROM_FIELDS=(Model Serial HammerBatch AdjustOuterClosedPos AdjustInnerClosedPos AdjustOuterOpenPos
    AdjustInnerOpenPos PrintHeadSensorExists ArchForSlave LastUpdate MaxCurrentForTray)
declare -A SIM_EEPROM_FIELD_OF_KEY=(
    [printer.hw.model]=Model
    [printer.hw.serial]=Serial
    [printer.hw.hammerBatch]=HammerBatch
    [printer.hw.adjustOuterClosedPos]=AdjustOuterClosedPos
    [printer.hw.adjustInnerClosedPos]=AdjustInnerClosedPos
    [printer.hw.adjustOuterOpenPos]=AdjustOuterOpenPos
    [printer.hw.adjustInnerOpenPos]=AdjustInnerOpenPos
    [printer.hw.printHeadSensorExists]=PrintHeadSensorExists
    [printer.hw.archForSlave]=ArchForSlave
    [system.update-manager.last-update]=LastUpdate
    [printer.slave.tray.maxCurrent]=MaxCurrentForTray
)

sim_die() {
    local status=$1
    shift
    printf '%s: %s\n' "$SIM_NAME" "$*" >&2
    exit "$status"
}

# sim_set_root: SIM_ROOT is the root without trailing slashes, made absolute.
sim_set_root() {
    local root=${CONFIGURATION_MANAGER_ROOT:-}
    while [ "${root%/}" != "$root" ]; do
        root=${root%/}
    done
    [ -n "$root" ] || sim_die 125 "refusing to run: CONFIGURATION_MANAGER_ROOT is unset or \"/\", this tool only acts on a simulated root"
    case "$root" in
    /*) ;;
    *) root="$PWD/$root" ;;
    esac
    [ -d "$root" ] || sim_die 125 "CONFIGURATION_MANAGER_ROOT $root is not a directory"
    SIM_ROOT=$root
    SIM_STATE="$root/var/lib/sim"
}

# sim_escape VARIABLE TEXT: sets VARIABLE to TEXT escaped for the call log (no subshell: the tools
# run at every start of the service, so each fork counts).
sim_escape() {
    local text=${2//\\/\\\\}
    text=${text//$'\t'/\\t}
    printf -v "$1" '%s' "${text//$'\n'/\\n}"
}

sim_log_call() {
    local line argument escaped
    sim_escape line "$SIM_NAME"
    for argument in "$@"; do
        sim_escape escaped "$argument"
        line+=$'\t'$escaped
    done
    [ -d "$SIM_ROOT/var/log/sim" ] || mkdir -p "$SIM_ROOT/var/log/sim"
    # One write per line, so tools started side by side never interleave inside a line.
    printf '%s\n' "$line" >>"$SIM_ROOT/var/log/sim/calls.log"
}

# The tools themselves run the machine's own cp, date, ln... never their simulated twins.
sim_strip_path() {
    local entry kept=""
    local IFS=:
    for entry in $SIM_ORIG_PATH; do
        [ "$entry" -ef "$SIM_BIN_DIR" ] && continue
        kept+="${kept:+:}$entry"
    done
    PATH=$kept
}

sim_begin() {
    sim_set_root
    sim_log_call "$@"
    sim_strip_path
    local fail="$SIM_STATE/fail/$SIM_NAME" status
    if [ -f "$fail" ]; then
        status=$(head -n 1 "$fail" | tr -dc '0-9')
        sim_die "${status:-1}" "simulated failure"
    fi
}

# sim_map PATH: a machine path as a path below the root. Paths already below the root and
# relative paths are left alone.
sim_map() {
    case "$1" in
    "$SIM_ROOT" | "$SIM_ROOT"/*) printf '%s' "$1" ;;
    /*) printf '%s' "$SIM_ROOT$1" ;;
    *) printf '%s' "$1" ;;
    esac
}

# sim_unmap PATH: the machine's view of a path below the root.
sim_unmap() {
    case "$1" in
    "$SIM_ROOT") printf '/' ;;
    "$SIM_ROOT"/*) printf '%s' "${1#"$SIM_ROOT"}" ;;
    *) printf '%s' "$1" ;;
    esac
}

# --- simulated clock ------------------------------------------------------------------------
# `date -s` never sets the machine's clock: it stores the difference to it in seconds.

sim_clock_offset() {
    local offset
    offset=$(cat "$SIM_STATE/clock-offset" 2>/dev/null) || offset=0
    printf '%s' "${offset:-0}"
}

sim_now() {
    echo $(($(date +%s) + $(sim_clock_offset)))
}

# The simulated /etc/localtime decides the local time of the simulated tools.
sim_export_tz() {
    [ -f "$SIM_ROOT/etc/localtime" ] && [ -s "$SIM_ROOT/etc/localtime" ] && export TZ=":$SIM_ROOT/etc/localtime"
    return 0
}

# --- flash store (EEPROM) -------------------------------------------------------------------
# $ROOT/var/lib/sim/eeprom: one FIELD=VALUE line per stored field, in flash order.

sim_is_eeprom_field() {
    local field
    for field in "${SIM_EEPROM_FIELDS[@]}"; do
        [ "$field" = "$1" ] && return 0
    done
    return 1
}

# sim_flash_get FIELD: prints the value without a line feed; status 1 when the field is not set.
sim_flash_get() {
    local line
    [ -f "$SIM_STATE/eeprom" ] || return 1
    while IFS= read -r line || [ -n "$line" ]; do
        if [ "${line%%=*}" = "$1" ] && [ "$line" != "${line#*=}" ]; then
            printf '%s' "${line#*=}"
            return 0
        fi
    done <"$SIM_STATE/eeprom"
    return 1
}

# sim_flash_update: stores the "FIELD<TAB>VALUE" lines of stdin, keeping the other fields.
sim_flash_update() {
    local -A values=()
    local line field value tmp
    if [ -f "$SIM_STATE/eeprom" ]; then
        while IFS= read -r line || [ -n "$line" ]; do
            [ "$line" != "${line#*=}" ] && values[${line%%=*}]=${line#*=}
        done <"$SIM_STATE/eeprom"
    fi
    while IFS=$'\t' read -r field value; do
        [ -n "$field" ] && values[$field]=$value
    done
    mkdir -p "$SIM_STATE"
    tmp=$(mktemp "$SIM_STATE/eeprom.XXXXXX")
    for field in "${SIM_EEPROM_FIELDS[@]}"; do
        [ -n "${values[$field]+set}" ] && printf '%s=%s\n' "$field" "${values[$field]}"
    done >"$tmp"
    mv -f "$tmp" "$SIM_STATE/eeprom"
}

# sim_flash_set FIELD VALUE: stores one field, keeping the others.
sim_flash_set() {
    printf '%s\t%s\n' "$1" "$2" | sim_flash_update
}

# --- configuration files --------------------------------------------------------------------

SIM_DATA_DIR_REL=usr/share/configuration-manager
SIM_STATE_DIR_REL=var/lib/embosser

# sim_settings_file CATALOG: the settings file of a topic catalog.
sim_settings_file() {
    if [ "$1" = arch ]; then
        printf '%s' "$SIM_ROOT/var/lib/slave/arch"
    else
        printf '%s' "$SIM_ROOT/$SIM_STATE_DIR_REL/$1"
    fi
}

# sim_parameter CATALOG NAME: the stored value of a parameter, else its default; status 1 when
# neither exists.
sim_parameter() {
    local value file
    file=$(sim_settings_file "$1")
    if [ -f "$file" ]; then
        value=$(jq -r --arg name "$2" '.[$name] // empty | tostring' "$file" 2>/dev/null)
        [ -n "$value" ] && { printf '%s' "$value"; return 0; }
    fi
    file="$SIM_ROOT/$SIM_DATA_DIR_REL/defaultParameters.json"
    [ -f "$file" ] || return 1
    value=$(jq -r --arg catalog "$1" --arg name "$2" '.[$catalog][$name] // empty | tostring' "$file" 2>/dev/null)
    [ -n "$value" ] || return 1
    printf '%s' "$value"
}

# sim_model: the model the machine runs as: the flash "Model" field, else the configured model.
sim_model() {
    local model
    model=$(sim_flash_get Model) && [ -n "$model" ] && { printf '%s' "$model"; return 0; }
    model=$(sim_parameter embosserConf Model) && [ -n "$model" ] && { printf '%s' "$model"; return 0; }
    return 1
}

# sim_model_folder MODEL: the folder name of a model's files (blanks become "_").
sim_model_folder() {
    printf '%s' "${1// /_}"
}

# sim_save_flash_info: copies every flash-mirrored parameter (a definition whose
# "systemInfoParam" names an EEPROM key) from its settings file, else its default, into the flash
# store. The configured "Model" goes to the "Model" field even when no definition mirrors it, as
# the factory tool does. Unreadable settings files count as empty.
sim_save_flash_info() {
    local definitions="$SIM_ROOT/$SIM_DATA_DIR_REL/propertyList.json" key fields="{" files=() catalog file
    [ -f "$definitions" ] || { echo "$SIM_NAME: cannot read $(sim_unmap "$definitions")" >&2; return 1; }
    for key in "${!SIM_EEPROM_FIELD_OF_KEY[@]}"; do
        fields+="\"$key\":\"${SIM_EEPROM_FIELD_OF_KEY[$key]}\","
    done
    fields="${fields%,}}"
    for catalog in parameters counters serialCom speech embosserConf arch embosserhead hammerDelta; do
        file=$(sim_settings_file "$catalog")
        [ -f "$file" ] && files+=(--rawfile "s_$catalog" "$file")
    done
    file="$SIM_ROOT/$SIM_DATA_DIR_REL/defaultParameters.json"
    [ -f "$file" ] && files+=(--rawfile defaults "$file")
    jq -r -n --argjson fields "$fields" --rawfile definitions "$definitions" "${files[@]}" '
        def object(name): ($ARGS.named[name] // "") | (try fromjson catch {}) | if type == "object" then . else {} end;
        object("defaults") as $defaults
        | ([object("definitions") | to_entries[] | .key as $catalog | .value | objects | to_entries[]
            | (.value | objects | .systemInfoParam // "" | tostring) as $key
            | select($fields[$key] != null)
            | (object("s_" + $catalog)[.key] // $defaults[$catalog][.key]?) as $value
            | select($value != null)
            | [$fields[$key], ($value | tostring)]]) as $mirrored
        | $mirrored[], (select([$mirrored[] | .[0]] | index("Model") | not)
            | object("s_embosserConf").Model // empty | ["Model", tostring])
        | @tsv' | sim_flash_update
}

# sim_settings_from_flash: writes every flash-mirrored parameter that the flash holds into its
# settings file, as the factory tool sets a machine up: a settings reset keeps the machine's own
# identity and calibration (serial number, hammer batch, head positions) rather than the factory
# copy's.
sim_settings_from_flash() {
    local definitions="$SIM_ROOT/$SIM_DATA_DIR_REL/propertyList.json" line catalog name key type field file tmp
    local -A flash=()
    [ -f "$definitions" ] && [ -f "$SIM_STATE/eeprom" ] || return 0
    while IFS= read -r line || [ -n "$line" ]; do
        [ "$line" != "${line#*=}" ] && flash[${line%%=*}]=${line#*=}
    done <"$SIM_STATE/eeprom"
    while IFS=$'\t' read -r catalog name key type; do
        field=${SIM_EEPROM_FIELD_OF_KEY[$key]:-}
        [ -n "$field" ] && [ -n "${flash[$field]+set}" ] || continue
        file=$(sim_settings_file "$catalog")
        [ -f "$file" ] || continue
        tmp=$(mktemp "$file.XXXXXX")
        if jq --indent 4 --arg name "$name" --arg value "${flash[$field]}" --arg type "$type" \
            '.[$name] = (if $type == "int" or $type == "double" then ($value | tonumber? // $value) else $value end)' \
            "$file" >"$tmp"; then
            mv -f "$tmp" "$file"
        else
            rm -f "$tmp"
        fi
    done < <(jq -r 'to_entries[] | .key as $catalog | .value | objects | to_entries[]
        | [$catalog, .key, (.value.systemInfoParam // "" | tostring), (.value.type // "" | tostring)] | @tsv' "$definitions")
}

# sim_record_reboot WHO ARGS...: the machine would restart now; the simulation only counts it.
sim_record_reboot() {
    mkdir -p "$SIM_STATE"
    printf '%s %s\n' "$(sim_now)" "$*" >>"$SIM_STATE/reboots"
}
