nivra_test_executable(nivra_summcurve_tests
  Summcurve_test.cpp
)
