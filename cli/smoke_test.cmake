# Runs the tool the way a user would and checks exit codes.
file(REMOVE_RECURSE ${PEMAR_WORK_DIR})
file(MAKE_DIRECTORY ${PEMAR_WORK_DIR})

function(expect_exit code)
  execute_process(COMMAND ${PEMAR_TOOL} ${ARGN}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL code)
    message(FATAL_ERROR "pemar ${ARGN}: exit ${rc}, expected ${code}\n${out}\n${err}")
  endif()
endfunction()

expect_exit(0 --version)
expect_exit(0 --help)
expect_exit(2 no-such-command)
expect_exit(0 demo --dir ${PEMAR_WORK_DIR}/demo)

# dump: a file the demo wrote, a missing file, a damaged file.
expect_exit(0 dump ${PEMAR_WORK_DIR}/demo/plant.bin)
expect_exit(0 dump --json ${PEMAR_WORK_DIR}/demo/plant.bin)
expect_exit(1 dump ${PEMAR_WORK_DIR}/no-such-file.bin)
expect_exit(2 dump)
find_program(HEAD_PROGRAM head)
if(HEAD_PROGRAM)
  execute_process(COMMAND ${HEAD_PROGRAM} -c 60 ${PEMAR_WORK_DIR}/demo/plant.bin
                  OUTPUT_FILE ${PEMAR_WORK_DIR}/truncated.bin)
  expect_exit(1 dump ${PEMAR_WORK_DIR}/truncated.bin)
endif()

# steam: one state as text and JSON, out-of-range states, wrong usage, and
# many states as CSV from a file (every readable row comes back).
expect_exit(0 steam --temperature 500 --pressure 1000)
expect_exit(0 steam --temperature 640 --pressure 25000 --phase liquid --json)
expect_exit(1 steam --temperature 250 --pressure 100)
expect_exit(1 steam --temperature 500 --pressure 2700)
expect_exit(1 steam --temperature 700 --pressure 150000 --phase vapour)
expect_exit(2 steam --temperature 500)
expect_exit(2 steam --temperature 500 --pressure 1000 --phase gas)
expect_exit(2 steam --csv --temperature 500)
file(WRITE ${PEMAR_WORK_DIR}/steam.csv
     "temperature,pressure,phase\n500,1000,\n640,25000,liquid\n250,100,\n")
expect_exit(0 steam --csv ${PEMAR_WORK_DIR}/steam.csv)
execute_process(COMMAND ${PEMAR_TOOL} steam --csv ${PEMAR_WORK_DIR}/steam.csv
                OUTPUT_VARIABLE steam_csv)
string(REGEX MATCHALL "\n" steam_lines "${steam_csv}")
list(LENGTH steam_lines steam_line_count)
if(NOT steam_line_count EQUAL 4 OR NOT steam_csv MATCHES
   "^temperature,pressure,phase,subregion,molar_volume,molar_enthalpy,saturation_pressure,boiling_temperature\n500,1000,,2,")
  message(FATAL_ERROR "pemar steam --csv wrote:\n${steam_csv}")
endif()
file(WRITE ${PEMAR_WORK_DIR}/steam-bad.csv "500,1000\nabc,1\n")
expect_exit(1 steam --csv ${PEMAR_WORK_DIR}/steam-bad.csv)
expect_exit(1 steam --csv ${PEMAR_WORK_DIR}/no-such-file.csv)

# plot, encrypt, decrypt
file(WRITE ${PEMAR_WORK_DIR}/points.csv "x,y,kind\n0,0,0\n25,2.5,1\n50,5,2\n")
expect_exit(0 plot ${PEMAR_WORK_DIR}/points.csv --log ${PEMAR_WORK_DIR}/points)
if(NOT EXISTS ${PEMAR_WORK_DIR}/points.log)
  message(FATAL_ERROR "pemar plot --log did not leave points.log")
endif()
expect_exit(0 plot ${PEMAR_WORK_DIR}/points.csv --mode 1 --xmin 0 --xmax 60 --ymin 0 --ymax 6)
expect_exit(2 plot ${PEMAR_WORK_DIR}/points.csv --mode 1 --xmin 0)
expect_exit(1 plot ${PEMAR_WORK_DIR}/no-such.csv)
file(WRITE ${PEMAR_WORK_DIR}/compositions.csv "a,b,c,kind\n0.2,0.3,0.5,1\n1,0,0,0\n")
expect_exit(0 plot ${PEMAR_WORK_DIR}/compositions.csv --ternary --json)
expect_exit(0 encrypt ${PEMAR_WORK_DIR}/points.csv ${PEMAR_WORK_DIR}/points.enc)
expect_exit(0 decrypt ${PEMAR_WORK_DIR}/points.enc ${PEMAR_WORK_DIR}/points.dec --json)
file(READ ${PEMAR_WORK_DIR}/points.csv plain_text)
file(READ ${PEMAR_WORK_DIR}/points.dec round_trip)
if(NOT plain_text STREQUAL round_trip)
  message(FATAL_ERROR "pemar encrypt then decrypt did not restore the file")
endif()
expect_exit(1 encrypt ${PEMAR_WORK_DIR}/no-such.bin ${PEMAR_WORK_DIR}/points.enc)
expect_exit(1 decrypt ${PEMAR_WORK_DIR}/points.enc ${PEMAR_WORK_DIR}/no-such-dir/out)
expect_exit(2 encrypt ${PEMAR_WORK_DIR}/points.csv)

# linearize: automatic and fixed segment counts, text and JSON, a header row,
# unreadable input, a malformed row and wrong usage.
file(WRITE ${PEMAR_WORK_DIR}/curve.csv "x,f\n0,0\n1,1\n2,4\n3,9\n4,16\n5,25\n6,36\n")
expect_exit(0 linearize ${PEMAR_WORK_DIR}/curve.csv)
expect_exit(0 linearize ${PEMAR_WORK_DIR}/curve.csv --auto --tolerance 0.5 --json)
expect_exit(0 linearize ${PEMAR_WORK_DIR}/curve.csv --segments 2 --json)
execute_process(COMMAND ${PEMAR_TOOL} linearize ${PEMAR_WORK_DIR}/curve.csv --segments 2
                OUTPUT_VARIABLE linearize_out)
if(NOT linearize_out MATCHES "segments: +2" OR NOT linearize_out MATCHES "performance: ")
  message(FATAL_ERROR "pemar linearize --segments 2 wrote:\n${linearize_out}")
endif()
expect_exit(1 linearize ${PEMAR_WORK_DIR}/no-such-curve.csv)
file(WRITE ${PEMAR_WORK_DIR}/curve-bad.csv "x,f\n0,0\n1,zero\n")
expect_exit(1 linearize ${PEMAR_WORK_DIR}/curve-bad.csv)
expect_exit(1 linearize ${PEMAR_WORK_DIR}/curve.csv --segments 9)
expect_exit(2 linearize ${PEMAR_WORK_DIR}/curve.csv --segments 2 --auto)
expect_exit(2 linearize ${PEMAR_WORK_DIR}/curve.csv --tolerance 1.5)
expect_exit(2 linearize)
