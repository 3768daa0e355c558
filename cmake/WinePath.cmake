# The Windows spelling of a Unix path under Wine's Z: drive, with the
# backslashes doubled for use inside a C string literal.
function(wine_path out unix_path)
  string(REPLACE "/" "\\\\" escaped "${unix_path}")
  set(${out} "Z:${escaped}" PARENT_SCOPE)
endfunction()
