nivra_test_executable(nivra_history_tests
  History_test.cpp
)
