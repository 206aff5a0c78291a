# Run by CPack before it packs: the package carries the Demo Tile Library,
# which is made, not kept in the sources.
if(NOT IS_DIRECTORY "${CPACK_TESSELOR_DEMO_LIBRARY}")
  message(FATAL_ERROR
    "The package needs the Demo Tile Library, and ${CPACK_TESSELOR_DEMO_LIBRARY} "
    "is not there. Make it first with:\n"
    "  TESSELOR_BUILD_DIR=${CPACK_TESSELOR_BUILD_DIR} scripts/demo.sh\n"
    "then run the package target again.")
endif()
