# Daily text export and the event journal.
target_sources(nivra_core PRIVATE
  Log.cpp
  Textfile.cpp
)
