nivra_test_executable(nivra_export_tests
  Log_test.cpp
  Textfile_test.cpp
)
