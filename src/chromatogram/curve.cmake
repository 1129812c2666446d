# Chromatogram curve, its marks and its files.
target_sources(nivra_core PRIVATE
  Bytereader.cpp
  Bytewriter.cpp
  Graphics.cpp
)
