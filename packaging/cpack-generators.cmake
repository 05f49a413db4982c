# Read by cpack once per generator.
if(CPACK_GENERATOR STREQUAL "DEB")
  # Its own prefix: the .deb never touches the system's test or [.
  set(CPACK_PACKAGING_INSTALL_PREFIX /opt/bracket)
endif()
