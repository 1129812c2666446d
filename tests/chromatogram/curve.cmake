nivra_test_executable(nivra_curve_tests
  Graphics_test.cpp
)
