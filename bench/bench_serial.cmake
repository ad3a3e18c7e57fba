# The latency benchmark drives a simulated device on a pseudo-terminal.
target_link_libraries(${name} PRIVATE devsim)
