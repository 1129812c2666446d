# Summator trend and its file "gsumm.dat".
target_sources(nivra_core PRIVATE
  Summcurve.cpp
)
