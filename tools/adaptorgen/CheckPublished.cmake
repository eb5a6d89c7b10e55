# cmake -DPUBLISHED=<dbus/...xml> -DGENERATED=<build/dbus/...xml> -DSTAMP=<file> -P CheckPublished.cmake
# Fails the build with a diff when the published introspection no longer matches what the member
# table generates, so that a change of the D-Bus surface is always a deliberate change of dbus/.
# The diff goes straight to the build output, unwrapped.
execute_process(COMMAND diff -u "${PUBLISHED}" "${GENERATED}" RESULT_VARIABLE differs)
if(differs)
    message(FATAL_ERROR "The D-Bus surface generated from the member table differs from the published "
        "introspection (diff above: - published, + generated). If the change is meant, publish it:\n"
        "    cp ${GENERATED} ${PUBLISHED}")
endif()
file(TOUCH "${STAMP}")
