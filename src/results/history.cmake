# Filled by the unit's author.
