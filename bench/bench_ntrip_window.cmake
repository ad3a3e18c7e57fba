# The corrections benchmark drives pseudo-terminals standing for the receiver and an output port.
target_link_libraries(${name} PRIVATE devsim)
