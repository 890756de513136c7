# The library's subsystems from the bottom up. The sources of a subsystem
# (outside its tests and testing/ helpers) include only its own headers and
# those of the subsystems listed before it; cmake/CheckLayers.cmake holds
# them to that. A new subsystem takes its place here.
set(PEMAR_LAYERS
    framework   # the stand-in for the application framework
    persist     # chunked files, persistent objects, case header, encryption
    numerics    # steam properties, linearisation, tables
    project     # projects, notes, notifications, engineering manager
    utility     # the utility and economics database
    diag        # log output, plot data, plot views, pictures
    config      # program configuration and configuration manager
    reports     # report holder and problem reports
    case        # the case document and its managers
    features    # feature registry and the case's feature manager
    casereport  # what reads a whole case: text report, page, description
)
