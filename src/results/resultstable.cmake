target_sources(nivra_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Filemapping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Filesteps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Regfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Regparam.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Resultsfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Structfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Textgrid.cpp
)
