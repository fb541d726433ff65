# Fails when a source file under src/ includes a header of a layer above its own.
#
#   cmake -DSOURCE_DIR=<folder holding src/> -P CheckLayers.cmake
#
# Each folder names the folders it may include from (itself included). A subsystem's window
# library (<subsystem>/ui) may use its own core, the cores below it, the window kit and the window
# libraries of the subsystems below. A folder missing from the table is an error too, so that a
# new folder gets its place in the picture (docs/layers.md) before its first include.

cmake_minimum_required(VERSION 3.25)

set(allowed_data data)
set(allowed_registers data registers)
set(allowed_stock data stock)
set(allowed_reports data reports)
set(allowed_pos data pos)
set(allowed_pricelists data registers pricelists)
set(allowed_documents data stock documents)
set(allowed_cashbook data reports cashbook)
set(allowed_purchasing data registers stock reports documents purchasing)
set(allowed_stockdocs data registers stock reports documents stockdocs)
set(allowed_production data registers stock reports documents stockdocs production)
set(allowed_sales data registers stock reports documents pricelists stockdocs production sales)
set(allowed_retail ${allowed_sales} production pos retail)
set(allowed_books ${allowed_retail} purchasing cashbook books)
set(allowed_planner ${allowed_retail} planner)
set(allowed_assets data reports assets)
set(allowed_app data app)
set(allowed_demo data registers stock reports documents pricelists purchasing stockdocs sales app
    demo)
set(allowed_tools data registers stock reports documents pricelists cashbook purchasing stockdocs
    sales retail app demo pos tools production books planner assets)

set(allowed_ui data ui)
set(allowed_registers/ui ${allowed_registers} ui registers/ui)
set(allowed_stock/ui ${allowed_stock} reports ui reports/ui stock/ui)
set(allowed_reports/ui ${allowed_reports} ui reports/ui)
set(allowed_pricelists/ui ${allowed_pricelists} ui registers/ui pricelists/ui)
set(allowed_cashbook/ui ${allowed_cashbook} ui reports/ui cashbook/ui)
set(allowed_purchasing/ui ${allowed_purchasing} ui registers/ui reports/ui purchasing/ui)
set(allowed_sales/ui ${allowed_sales} ui registers/ui reports/ui sales/ui)
set(allowed_stockdocs/ui ${allowed_stockdocs} ui registers/ui reports/ui stockdocs/ui)
set(allowed_retail/ui ${allowed_retail} ui registers/ui reports/ui sales/ui retail/ui)
set(allowed_production/ui ${allowed_production} ui registers/ui reports/ui production/ui)
set(allowed_books/ui ${allowed_books} ui registers/ui reports/ui books/ui)
set(allowed_assets/ui ${allowed_assets} ui reports/ui assets/ui)
set(allowed_app/ui ${allowed_app} registers pos ui registers/ui app/ui)
set(allowed_app/desktop ${allowed_tools} ui registers/ui stock/ui reports/ui pricelists/ui
    cashbook/ui purchasing/ui sales/ui stockdocs/ui production/ui retail/ui books/ui assets/ui
    app/ui app/desktop)

# The layer of a path relative to src/: "stock", "stock/ui", "app/desktop", "tools" …
function(layer_of path out)
    string(REPLACE "/" ";" parts "${path}")
    list(LENGTH parts count)
    list(GET parts 0 first)
    set(layer ${first})
    if(count GREATER 2)
        list(GET parts 1 second)
        if(second STREQUAL "ui" OR (first STREQUAL "app" AND second STREQUAL "desktop"))
            set(layer ${first}/${second})
        endif()
    endif()
    set(${out} ${layer} PARENT_SCOPE)
endfunction()

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "SOURCE_DIR is not set")
endif()
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)
set(faults "")
set(checked 0)
foreach(source IN LISTS sources)
    layer_of(${source} layer)
    if(NOT DEFINED allowed_${layer})
        list(APPEND faults "src/${source}: the folder ${layer} has no place in the layers")
        continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/src/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]*/")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" header "${line}")
        layer_of(${header} target)
        math(EXPR checked "${checked} + 1")
        if(NOT target IN_LIST allowed_${layer})
            list(APPEND faults "src/${source}: ${layer} includes ${header} from ${target}")
        endif()
    endforeach()
endforeach()

if(faults)
    list(JOIN faults "\n" text)
    message(FATAL_ERROR "Includes that point up the layers:\n${text}")
endif()
if(checked EQUAL 0)
    message(FATAL_ERROR "No include lines found under ${SOURCE_DIR}/src")
endif()
message(STATUS "${checked} include lines follow the layers")
