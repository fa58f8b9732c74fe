# incrustar_texto(<target> <variable> <file>): compiles the text of <file> into <target> as
# `extern const char* const <variable>`, so scripts ship inside the program.
function(incrustar_texto destino variable fichero)
  get_filename_component(ruta "${fichero}" ABSOLUTE)
  file(READ "${ruta}" CONTENIDO)
  set(salida "${CMAKE_CURRENT_BINARY_DIR}/${variable}.cpp")
  file(CONFIGURE OUTPUT "${salida}"
       CONTENT "extern const char* const ${variable};\nconst char* const ${variable} = R\"nimbo_texto(@CONTENIDO@)nimbo_texto\";\n"
       @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${ruta}")
  target_sources(${destino} PRIVATE "${salida}")
endfunction()
