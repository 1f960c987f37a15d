# Run by CPack after it has written the ZIP (CPACK_POST_BUILD_SCRIPTS): gives
# the archive's entries a fixed order, the commit's date and fixed attributes
# (strip-nondeterminism), then writes its SHA-256 beside it in sha256sum's
# format (NAME.zip.sha256), so that a download can be checked against a
# rebuild.

# The commit's date, unless the caller sets SOURCE_DATE_EPOCH; without git
# (an unpacked source archive) a fixed date.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
    execute_process(COMMAND git -C "${CPACK_TRAMOLIVENGA_SOURCE_DIR}" log -1 --format=%ct
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
    if(failed OR NOT epoch MATCHES "^[0-9]+$")
        set(epoch 1767225600)  # 2026-01-01 00:00 UTC
    endif()
endif()

find_program(STRIP_NONDETERMINISM strip-nondeterminism REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    # ZIP keeps local times: UTC makes them the same on every machine.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
        ${STRIP_NONDETERMINISM} --type zip --timestamp ${epoch} "${package}"
        COMMAND_ERROR_IS_FATAL ANY)
    file(SHA256 "${package}" sum)
    get_filename_component(name "${package}" NAME)
    # CPack copies the package itself into CPACK_PACKAGE_DIRECTORY afterwards.
    file(WRITE "${CPACK_PACKAGE_DIRECTORY}/${name}.sha256" "${sum}  ${name}\n")
    message(STATUS "${name}: SHA-256 ${sum}, entries dated ${epoch}")
endforeach()
