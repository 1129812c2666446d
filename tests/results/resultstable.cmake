nivra_test_executable(nivra_resultstable_tests
  Resultstable_test.cpp
  Textgrid_test.cpp
)
