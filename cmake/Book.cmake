# add_book(<name> DIR <source folder> [FIXTURE])
# Compiles a book's source (paragraph files, variables file, facts file) into the constant
# tables with the book compiler and makes them, with the book's pictures/ and sounds/ embedded
# by rescomp as BookResources, the OBJECT library book_<name>. FIXTURE lets a
# small test book leave tables short; the compiler pads them to the book's fixed shape.
function(add_book name)
    cmake_parse_arguments(B "FIXTURE" "DIR" "" ${ARGN})
    if(NOT B_DIR)
        set(B_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    get_filename_component(B_DIR ${B_DIR} ABSOLUTE)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${B_DIR}/*.mw ${B_DIR}/variables.txt ${B_DIR}/book.facts)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/book_${name}.cpp)
    set(flags)
    if(B_FIXTURE)
        list(APPEND flags --fixture)
    endif()
    add_custom_command(
        OUTPUT ${out}
        COMMAND bookc ${flags} --out ${out} ${B_DIR}
        DEPENDS bookc ${sources}
        COMMENT "Compiling book ${name}"
        VERBATIM)
    # The book's pictures and sounds, embedded as BookResources.
    set(media ${CMAKE_CURRENT_BINARY_DIR}/book_${name}_resources.cpp)
    add_custom_command(
        OUTPUT ${media}
        COMMAND rescomp --book ${B_DIR} --symbol BookResources --out ${media} --depfile ${media}.d
        DEPENDS rescomp
        DEPFILE ${media}.d
        COMMENT "Embedding the pictures and sounds of book ${name}"
        VERBATIM)
    add_library(book_${name} OBJECT ${out} ${media})
    target_include_directories(book_${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
