# Common settings for every Zodra target: warnings, Qt's strictness switches, sanitizers.
function(zodra_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
    if(ZODRA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    target_compile_definitions(${target} PRIVATE
        QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII
        QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING
       )
    if(ZODRA_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
            -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
endfunction()

# A core library: Qt Core and Qt Sql only (reports may add Gui and PrintSupport).
function(zodra_core_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    zodra_target_defaults(${target})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
    if(ZODRA_SANITIZE)
        target_link_options(${target} INTERFACE -fsanitize=address,undefined)
    endif()
    set_property(GLOBAL APPEND PROPERTY ZODRA_CORE_LIBRARIES ${target})
endfunction()

# The headers the window libraries and the window tests share through precompiled headers: a
# window's source spends most of its compile time parsing these.
set(ZODRA_WIDGET_HEADERS <QApplication> <QCheckBox> <QComboBox> <QDate> <QDialog> <QFormLayout>
    <QGridLayout> <QGroupBox> <QHBoxLayout> <QHeaderView> <QKeyEvent> <QLabel> <QLineEdit>
    <QListWidget> <QMdiArea> <QMdiSubWindow> <QPushButton> <QSqlQuery> <QString> <QTableView>
    <QTableWidget> <QTimer> <QVBoxLayout> <QVariant> <QWidget> <functional> <memory> <vector>)

# A window library of a subsystem (its `ui/` folder): Qt Widgets and the window kit. Every one
# is collected so that the desktop program links them all.
function(zodra_ui_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    zodra_target_defaults(${target})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC zodra_ui ${ARG_DEPENDS})
    target_precompile_headers(${target} REUSE_FROM zodra_ui)
    if(ZODRA_SANITIZE)
        target_link_options(${target} INTERFACE -fsanitize=address,undefined)
    endif()
    set_property(GLOBAL APPEND PROPERTY ZODRA_UI_LIBRARIES ${target})
endfunction()

# Adds the subfolders of the current folder that have a CMakeLists.txt, except those named.
function(zodra_add_subfolders)
    file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
        ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT children)
    foreach(child IN LISTS children)
        if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
           AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt
           AND NOT child IN_LIST ARGN)
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()
