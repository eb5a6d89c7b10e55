#!/usr/bin/env bash
# Simulated factory tool of the embosser: saves the flash information.
#   embosser-factory.sh -s [-r]
# -s copies every flash-mirrored parameter (a definition in propertyList.json whose
# "systemInfoParam" names an EEPROM key) from its settings file, or its default, into the flash
# memory ($CONFIGURATION_MANAGER_ROOT/var/lib/sim/eeprom); the configured "Model" always goes to
# the "Model" field. -r then restarts the machine: the simulation appends a line to
# $CONFIGURATION_MANAGER_ROOT/var/lib/sim/reboots instead. Exit status: 0 done, 1 the parameter
# definitions cannot be read, 2 usage error.
source "$(dirname "${BASH_SOURCE[0]}")/_simlib.sh"
sim_begin "$@"

save=0 restart=0
while getopts ":sr" option; do
    case "$option" in
    s) save=1 ;;
    r) restart=1 ;;
    *) sim_die 2 "unknown option -$OPTARG" ;;
    esac
done
shift $((OPTIND - 1))
[ $# -eq 0 ] || sim_die 2 "unexpected argument: $1"
[ "$save" = 1 ] || sim_die 2 "usage: embosser-factory.sh -s [-r]"

sim_save_flash_info || exit 1
echo "flash information saved"
if [ "$restart" = 1 ]; then
    sim_record_reboot embosser-factory.sh -r
    echo "restarting"
fi
