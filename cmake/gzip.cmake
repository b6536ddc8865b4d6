# cmake -Dsource=FILE -Doutput=FILE.gz [-Dsection=SECTION] -P gzip.cmake
#
# Compresses FILE as Debian wants it, with gzip -9n (no name or time inside:
# the same file always gives the same bytes). With SECTION, FILE is a manual
# page whose .TH line gets that section first.
get_filename_component(folder ${output} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
set(input ${source})
if(DEFINED section)
  file(READ ${source} text)
  string(REGEX REPLACE "^\\.TH ([^ \n]+) [^ \n]+ " ".TH \\1 ${section} " text "${text}")
  set(input ${output}.page)
  file(WRITE ${input} "${text}")
endif()
execute_process(COMMAND gzip -9n -c ${input} OUTPUT_FILE ${output} RESULT_VARIABLE status)
if(DEFINED section)
  file(REMOVE ${input})
endif()
if(NOT status EQUAL 0)
  file(REMOVE ${output})
  message(FATAL_ERROR "gzip ${source}: ${status}")
endif()
