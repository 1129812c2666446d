# Results history: thinned chromatograms of the last analyses and the page grid.
target_sources(nivra_core PRIVATE
  History.cpp
  Historygrid.cpp
)
