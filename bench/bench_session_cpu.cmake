# The device simulator plays the receiver and the sounder on pseudo-terminals.
target_link_libraries(${name} PRIVATE devsim)
