# Run as a build step of each core library: core code is plain C++, so a Qt
# include there is a layering mistake; say so before the compiler does.
file(GLOB files ${DIR}/*.h ${DIR}/*.cpp)
foreach(f ${files})
  file(STRINGS ${f} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|Qt)")
  if(hits)
    message(FATAL_ERROR "${f}: includes Qt (${hits}). src/core is plain C++; "
            "code that needs Qt belongs in src/gui.")
  endif()
endforeach()
file(WRITE ${STAMP} "")
