! Prints reference renderings of the Fortran edit descriptors used by latfit.
! Each output line is  descriptor|value|[rendered field]  where value is the
! argument written with enough digits to read back the same double.
! Build and run:  gfortran -o /tmp/ff latfit_fortran_formats.f90 && /tmp/ff
program latfit_fortran_formats
  use, intrinsic :: ieee_arithmetic
  implicit none
  character(len=8), parameter :: rfmt(14) = [character(len=8) :: &
       'F12.6', 'F10.6', 'F9.4', 'F8.4', 'F4.3', 'F3.1', &
       'E14.6', 'E15.6', 'E13.5', 'E15.7', 'E17.7', 'E10.4', &
       'G14.6', 'G13.5']
  double precision, parameter :: rval(47) = [ &
       0d0, 1d0, -1d0, 0.5d0, -0.5d0, 0.1d0, -0.1d0, &
       0.09999999d0, 0.0999999d0, 0.09999996d0, 0.099999949d0, 0.0999995d0, &
       1.2345675d0, 123456.4d0, 999999.5d0, 999999.49d0, 99999.95d0, 1d6, &
       1d-5, 1d100, 1d-100, -1d-100, 1d200, -1.234d99, 9.9999999d99, &
       2.307100407d-18, 6.947700141d-21, 0.009999999776482582d0, &
       12345678.9d0, -99999.9999999d0, -1d-7, 1d-7, 0.125d0, 2.5d0, 3.5d0, &
       0.00005d0, 4.188790204666667d0, 57.29577951471995d0, 1d10, 5.43d0, &
       -0.25d0, 0.75d0, 100d0, 1000000d0, 0.35d0, 0.45d0, -0.05d0]
  integer, parameter :: ival(9) = [0, 1, -1, 9, 10, 99, 100, -99, 123456]
  character(len=4), parameter :: ifmt(5) = [character(len=4) :: 'I2', 'I3', 'I4', 'I6', 'I1']
  character(len=6), parameter :: sval(3) = [character(len=6) :: 'Mg', 'Oxygen', 'Ti    ']
  character(len=4), parameter :: afmt(3) = [character(len=4) :: 'A6', 'A3', 'A8']
  character(len=64) :: buf
  character(len=8) :: desc
  integer :: i, j, w

  do i = 1, size(rfmt)
    do j = 1, size(rval)
      desc = rfmt(i)
      read (desc(2:index(desc, '.') - 1), *) w
      write (buf, '(' // trim(rfmt(i)) // ')') rval(j)
      write (*, '(A,A,ES26.17E3,A,A,A)') trim(rfmt(i)), '|', rval(j), '|[', buf(1:w), ']'
    end do
  end do
  ! Non-finite values: the value column names them.
  do i = 1, size(rfmt)
    desc = rfmt(i)
    read (desc(2:index(desc, '.') - 1), *) w
    write (buf, '(' // trim(rfmt(i)) // ')') ieee_value(1d0, ieee_positive_inf)
    write (*, '(A,A,A,A,A)') trim(rfmt(i)), '|inf|[', buf(1:w), ']'
    write (buf, '(' // trim(rfmt(i)) // ')') ieee_value(1d0, ieee_negative_inf)
    write (*, '(A,A,A,A,A)') trim(rfmt(i)), '|-inf|[', buf(1:w), ']'
    write (buf, '(' // trim(rfmt(i)) // ')') ieee_value(1d0, ieee_quiet_nan)
    write (*, '(A,A,A,A,A)') trim(rfmt(i)), '|nan|[', buf(1:w), ']'
  end do
  do i = 1, size(ifmt)
    do j = 1, size(ival)
      desc = ifmt(i)
      read (desc(2:), *) w
      write (buf, '(' // trim(ifmt(i)) // ')') ival(j)
      write (*, '(A,A,I0,A,A,A)') trim(ifmt(i)), '|', ival(j), '|[', buf(1:w), ']'
    end do
  end do
  do i = 1, size(afmt)
    do j = 1, size(sval)
      desc = afmt(i)
      read (desc(2:), *) w
      write (buf, '(' // trim(afmt(i)) // ')') trim(sval(j))
      write (*, '(A,A,A,A,A,A)') trim(afmt(i)), '|', trim(sval(j)), '|[', buf(1:w), ']'
    end do
  end do
end program latfit_fortran_formats
