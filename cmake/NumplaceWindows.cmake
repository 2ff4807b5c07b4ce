# What a Windows build adds: the runtimes linked in, stripped release builds, SSE2, the resource
# compiler, and numplace_windows_executable() for the GUI program. Nothing on other systems.
if(WIN32)
    enable_language(RC)
    # Static C++ and GCC runtimes: the executables import only KERNEL32, USER32 and msvcrt, and
    # they run on a bare Windows (or Wine) with no MinGW DLLs beside them. No link time in the PE
    # header, so two builds of one commit give the same bytes (the checksum then follows).
    target_link_options(numplace_options INTERFACE
        -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp
        $<$<CONFIG:Release,MinSizeRel>:-s>)
    # SSE2, which every Windows since 8 requires: the solving loop keeps a cell in one register.
    target_compile_options(numplace_options INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-msse2>)
    # The version resource, from the one version number of project().
    configure_file(${PROJECT_SOURCE_DIR}/app/version.rc.in ${PROJECT_BINARY_DIR}/app/version.rc
        @ONLY)
endif()

# Makes `target` the GUI program: no console (-mwindows), the icon, the manifest and the version
# resource. Natively it changes nothing.
function(numplace_windows_executable target)
    if(WIN32)
        set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE TRUE)
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/app/numplace.rc
            ${PROJECT_BINARY_DIR}/app/version.rc)
        # windres reports the headers it reads but not the files it embeds.
        set_source_files_properties(${PROJECT_SOURCE_DIR}/app/numplace.rc
            PROPERTIES OBJECT_DEPENDS
            "${PROJECT_SOURCE_DIR}/app/numplace.ico;${PROJECT_SOURCE_DIR}/app/numplace.manifest")
    endif()
endfunction()
