// Script-driven conversions.
