# The text resources of src/res (the code table, the code page's character map and the glyph
# sheet) are compiled into tarvo_text as byte arrays, regenerated whenever a .bin changes.
set(TARVO_TEXT_EMBEDDED_SOURCES)
foreach(resource jiscode sjis_unicode glyphs)
  set(input ${PROJECT_SOURCE_DIR}/src/res/${resource}.bin)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/embedded/${resource}_bin.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=tarvo_res_${resource}
            -P ${CMAKE_CURRENT_LIST_DIR}/embed_resource.cmake
    DEPENDS ${input} ${CMAKE_CURRENT_LIST_DIR}/embed_resource.cmake
    COMMENT "Embedding src/res/${resource}.bin"
    VERBATIM)
  list(APPEND TARVO_TEXT_EMBEDDED_SOURCES ${output})
endforeach()
