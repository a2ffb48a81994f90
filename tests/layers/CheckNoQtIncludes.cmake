# Fails when a source file of the given folders includes a Qt header: the
# document model and the settings must build and run without Qt, so that the
# command-line tool, the fuzz targets and the benchmarks link them alone.
# Run as: cmake -DFOLDERS="a;b" -P CheckNoQtIncludes.cmake
set(offenders "")
foreach(folder IN LISTS FOLDERS)
  file(GLOB_RECURSE sources "${folder}/*.h" "${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|Qt[A-Za-z]*/|q[a-z_]+\\.h)")
    foreach(line IN LISTS lines)
      string(APPEND offenders "  ${source}: ${line}\n")
    endforeach()
  endforeach()
endforeach()
if(offenders)
  message(FATAL_ERROR "Qt headers included below the window:\n${offenders}")
endif()
list(LENGTH FOLDERS count)
message(STATUS "No Qt header in the ${count} folders checked")
